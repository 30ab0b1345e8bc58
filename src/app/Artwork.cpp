#include "Artwork.h"

#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPixmap>

#include "DialogUnits.h"

// Q_INIT_RESOURCE names a function of the global namespace.
static void InitTessaryResources() {
    Q_INIT_RESOURCE(tessary);
}

namespace tessary {

void LoadArtwork() {
    static const bool loaded = (InitTessaryResources(), true);
    (void)loaded;
}

QLabel* AddPicture(QWidget& window, const QString& resource, const QRect& rect) {
    LoadArtwork();
    auto* label = new QLabel(&window);
    PaintWhiteOnBlack(*label);
    label->setGeometry(rect);
    label->setAlignment(Qt::AlignCenter);
    const QPixmap picture(resource);
    if (!picture.isNull()) {
        // Scaled for the screen's pixels, so the pictures stay sharp on high-density screens.
        const qreal ratio = qApp->devicePixelRatio();
        QPixmap scaled =
            picture.scaled(rect.size() * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        scaled.setDevicePixelRatio(ratio);
        label->setPixmap(scaled);
    }
    return label;
}

QLabel* AddStaticText(QWidget& window, const QString& text, const QRect& rect,
                      Qt::Alignment alignment) {
    auto* label = new QLabel(text, &window);
    PaintWhiteOnBlack(*label);
    label->setGeometry(rect);
    label->setAlignment(alignment);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void SetWindowIcon(QWidget& window) {
    LoadArtwork();
    QIcon icon;
    icon.addFile(artwork::kIcon);
    icon.addFile(artwork::kSmallIcon);
    window.setWindowIcon(icon);
}

}  // namespace tessary
