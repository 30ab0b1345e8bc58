#include "DialogUnits.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPalette>
#include <QWidget>

namespace tessary {

namespace {

// Rounded a * b / c, as the layouts in dialog units are converted by the platform that
// defined them.
int MulDiv(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    return static_cast<int>((product + (product >= 0 ? c / 2 : -c / 2)) / c);
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width is measured over the 52 letters, the way dialog base units are defined.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX_ = std::max(1, (letters / 26 + 1) / 2);
    baseY_ = std::max(1, metrics.height());
}

int DialogUnits::X(int units) const {
    return MulDiv(units, baseX_, 4);
}
int DialogUnits::Y(int units) const {
    return MulDiv(units, baseY_, 8);
}

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
    return QRect(X(x), Y(y), X(width), Y(height));
}

QSize DialogUnits::Size(int width, int height) const {
    return QSize(X(width), Y(height));
}

QFont DialogUnits::DialogFont() {
    // The desktop's own font: a user who chose larger text gets larger windows.
    return QApplication::font();
}

void PaintBlack(QWidget& window) {
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::black);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
}

void KeepNormalColours(QWidget& control) {
    const QPalette normal = QApplication::palette(&control);
    QPalette palette = control.palette();
    palette.setColor(QPalette::Window, normal.color(QPalette::Window));
    palette.setColor(QPalette::WindowText, normal.color(QPalette::WindowText));
    control.setPalette(palette);
}

void PaintWhiteOnBlack(QWidget& label) {
    QPalette palette = label.palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    label.setPalette(palette);
    label.setAutoFillBackground(true);
}

}  // namespace tessary
