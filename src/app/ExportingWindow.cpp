#include "ExportingWindow.h"

#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <algorithm>

#include "Artwork.h"
#include "DialogUnits.h"

namespace tessary {

ExportingWindow::ExportingWindow(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint) {
    setObjectName(QStringLiteral("153"));
    setWindowTitle(QStringLiteral("Exporting Obj"));
    setFont(DialogUnits::DialogFont());
    setModal(false);
    const DialogUnits units(font());
    setFixedSize(units.Size(132, 31));

    LoadArtwork();
    auto* icon = new QLabel(this);
    icon->setGeometry(units.Rect(5, 5, 18, 20));
    const int side = std::min(icon->width(), icon->height());
    icon->setPixmap(QIcon(artwork::kIcon).pixmap(side, side));
    icon->setAlignment(Qt::AlignCenter);

    auto* caption = new QLabel(QStringLiteral("Exporting:"), this);
    caption->setGeometry(units.Rect(35, 5, 35, 8));

    pathLabel_ = new QLabel(this);
    pathLabel_->setObjectName(QStringLiteral("1043"));
    pathLabel_->setGeometry(units.Rect(35, 15, 80, 8));
    pathLabel_->setTextFormat(Qt::PlainText);
}

void ExportingWindow::SetPath(const QString& path) {
    path_ = path;
    // A long path keeps its beginning and its file name; the whole path is in the tool tip.
    pathLabel_->setText(
        QFontMetrics(pathLabel_->font()).elidedText(path, Qt::ElideMiddle, pathLabel_->width()));
    pathLabel_->setToolTip(path);
}

}  // namespace tessary
