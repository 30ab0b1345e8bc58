#include "PreferencesDialog.h"

#include <QCheckBox>
#include <QPushButton>

#include "DialogUnits.h"

namespace tessary {

namespace {

struct BoxLayout {
    const char* id;
    const char* text;
    int y;
};

// In the order of the options (Preferences::kKeys); the dialog stacks them differently.
constexpr std::array<BoxLayout, 6> kBoxes = {{
    {"1028", "I'm an idiot. Warn me before I delete something.", 20},
    {"1026", "Warn me before copying morphs or props.", 10},
    {"1027",
     "Use morph's or prop's name as file name on exports and quit asking me for file names.", 30},
    {"1029", "Automatically fix storage offset bug when saving.", 40},
    {"1057", "Remove unused materials upon saving. (Requires obj file loaded).", 50},
    {"1058", "Add unlisted materials from obj file when saving (Requires obj file loaded).", 60},
}};

}  // namespace

PreferencesDialog::PreferencesDialog(const Preferences& current, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("151"));
    setWindowTitle(QStringLiteral("Preferences"));
    setFont(DialogUnits::DialogFont());
    const DialogUnits units(font());
    setFixedSize(units.Size(302, 95));

    // Created top to bottom so that Tab moves down the list.
    std::array<std::size_t, 6> byPosition = {1, 0, 2, 3, 4, 5};
    for (std::size_t option : byPosition) {
        const BoxLayout& layout = kBoxes[option];
        auto* box = new QCheckBox(QString::fromUtf8(layout.text), this);
        box->setObjectName(QString::fromLatin1(layout.id));
        box->setGeometry(units.Rect(5, layout.y, 292, 8));
        box->setChecked(current[option] != 0);
        boxes_[option] = box;
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setGeometry(units.Rect(55, 75, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("2"));
    cancel->setGeometry(units.Rect(185, 75, 50, 14));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

Preferences PreferencesDialog::Values() const {
    Preferences values;
    for (std::size_t option = 0; option < boxes_.size(); ++option) {
        values[option] = boxes_[option]->isChecked() ? 1 : 0;
    }
    return values;
}

}  // namespace tessary
