#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

class QWidget;

namespace tessary {

// Converts the dialog-unit layouts of the windows into pixels: a horizontal unit is a quarter
// of the dialog font's average character width, a vertical unit an eighth of its height.
class DialogUnits {
  public:
    explicit DialogUnits(const QFont& font);

    int X(int units) const;
    int Y(int units) const;
    QRect Rect(int x, int y, int width, int height) const;
    QSize Size(int width, int height) const;

    int baseX() const { return baseX_; }
    int baseY() const { return baseY_; }

    // The font every window of the program lays out with: the desktop's general font, so the
    // windows grow with it.
    static QFont DialogFont();

  private:
    int baseX_;
    int baseY_;
};

// Gives a window of the program its black background, as the main window and the About box
// are painted; buttons and trees keep the normal colours.
void PaintBlack(QWidget& window);
// Gives a button or tree of a black window the normal colours back.
void KeepNormalColours(QWidget& control);
// White text on black, for the static texts and pictures of a black window.
void PaintWhiteOnBlack(QWidget& label);

}  // namespace tessary
