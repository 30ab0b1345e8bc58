#include "AboutDialog.h"

#include <QPushButton>

#include "Artwork.h"
#include "DialogUnits.h"

namespace tessary {

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("100"));
    setWindowTitle(QStringLiteral("About tessary"));
    setFont(DialogUnits::DialogFont());
    PaintBlack(*this);
    SetWindowIcon(*this);
    const DialogUnits units(font());
    setFixedSize(units.Size(287, 186));

    AddPicture(*this, artwork::kBanner, units.Rect(50, 5, 231, 38));
    AddPicture(*this, artwork::kFemaleFigure, units.Rect(5, 5, 45, 105));
    const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignTop;
    AddStaticText(*this, QStringLiteral("Version 4.0"), units.Rect(55, 50, 215, 15), centred);
    AddStaticText(*this, QStringLiteral("\n "), units.Rect(55, 60, 215, 25), centred);
    AddStaticText(*this,
                  QStringLiteral("Copies, combines, renames and zeroes the morph targets, "
                                 "channels and props of figure and pose files, side by side."),
                  units.Rect(55, 85, 215, 30), centred);
    AddStaticText(*this, QStringLiteral("Copyright (c) 2026 the Tessary developers"),
                  units.Rect(55, 115, 215, 10), centred);
    AddStaticText(*this,
                  QStringLiteral("Help: the Help button opens help.html,\nwhich lies beside "
                                 "the program."),
                  units.Rect(55, 130, 215, 20), centred);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setGeometry(units.Rect(130, 155, 32, 14));
    ok->setDefault(true);
    ok->setFocus();
    KeepNormalColours(*ok);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace tessary
