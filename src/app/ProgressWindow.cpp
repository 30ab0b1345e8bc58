#include "ProgressWindow.h"

#include <QIcon>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>

#include "Artwork.h"
#include "DialogUnits.h"

namespace tessary {

ProgressWindow::ProgressWindow(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("129"));
    setFont(DialogUnits::DialogFont());
    setModal(false);
    const DialogUnits units(font());
    setFixedSize(units.Size(186, 62));

    // Without a caption the window needs an edge of its own to stand out from what is behind.
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setGeometry(rect());

    auto* icon = new QLabel(this);
    icon->setGeometry(units.Rect(10, 10, 21, 20));
    const int side = std::min(icon->width(), icon->height());
    LoadArtwork();
    icon->setPixmap(QIcon(artwork::kIcon).pixmap(side, side));
    icon->setAlignment(Qt::AlignCenter);

    text_ = new QLabel(QStringLiteral("Loading\nPlease Wait"), this);
    text_->setObjectName(QStringLiteral("1009"));
    text_->setGeometry(units.Rect(45, 10, 105, 20));
    text_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("1007"));
    bar_->setGeometry(units.Rect(10, 40, 165, 10));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
}

void ProgressWindow::SetText(const QString& text) {
    text_->setText(text);
    if (isVisible()) {
        text_->repaint();
    }
}

void ProgressWindow::SetPosition(int percent) {
    const int clamped = std::clamp(percent, 0, 100);
    if (clamped == bar_->value()) {
        return;
    }
    bar_->setValue(clamped);
    if (isVisible()) {
        bar_->repaint();
    }
}

int ProgressWindow::Position() const {
    return bar_->value();
}

QString ProgressWindow::Text() const {
    return text_->text();
}

}  // namespace tessary
