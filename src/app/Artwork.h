#pragma once

#include <QString>

class QLabel;
class QRect;
class QWidget;

namespace tessary {

// The pictures of the windows, by their place in the resources.
namespace artwork {
inline const QString kIcon = QStringLiteral(":/tessary/images/icon-256.png");
inline const QString kSmallIcon = QStringLiteral(":/tessary/images/icon-32.png");
inline const QString kFemaleFigure = QStringLiteral(":/tessary/images/figure-female.png");
inline const QString kMaleFigure = QStringLiteral(":/tessary/images/figure-male.png");
inline const QString kBanner = QStringLiteral(":/tessary/images/banner.png");
}  // namespace artwork

// Makes the pictures available; the resources live in a static library, which does not
// register them by itself.
void LoadArtwork();
// A picture shown in a fixed rectangle of a black window, scaled to fit and centred; a
// missing picture leaves the rectangle black.
QLabel* AddPicture(QWidget& window, const QString& resource, const QRect& rect);
// A white-on-black static text.
QLabel* AddStaticText(QWidget& window, const QString& text, const QRect& rect,
                      Qt::Alignment alignment);
// The program's window icon, large and small.
void SetWindowIcon(QWidget& window);

}  // namespace tessary
