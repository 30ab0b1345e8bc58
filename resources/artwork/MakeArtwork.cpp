// Draws the program's pictures (window icon, tree images, the two figures and the title
// banner) and writes them as PNG files into the folder given on the command line. The
// pictures are committed; run this only to change them:
//   cmake --build build --target tessary_artwork && build/src/app/tessary_artwork resources/images
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <cstdio>

namespace {

struct Skin {
    QColor dark;
    QColor mid;
    QColor light;
};

const Skin kSkin{QColor(96, 52, 34), QColor(205, 140, 104), QColor(255, 222, 196)};
const Skin kHair{QColor(20, 10, 4), QColor(92, 48, 20), QColor(170, 110, 60)};
const Skin kCloth{QColor(10, 20, 60), QColor(40, 70, 160), QColor(140, 170, 240)};

// A limb as a capsule shaded across its axis, lit from the upper left.
void Limb(QPainter& p, QPointF from, QPointF to, double width, const Skin& skin) {
    const QPointF axis = to - from;
    const double length = std::hypot(axis.x(), axis.y());
    if (length <= 0) {
        return;
    }
    const QPointF normal(-axis.y() / length, axis.x() / length);
    const QPointF centre = (from + to) / 2;
    QLinearGradient shade(centre - normal * width / 2, centre + normal * width / 2);
    // The lit side is the one facing left.
    const bool leftFirst = normal.x() < 0;
    shade.setColorAt(leftFirst ? 0.0 : 1.0, skin.mid);
    shade.setColorAt(leftFirst ? 0.3 : 0.7, skin.light);
    shade.setColorAt(0.5, skin.mid);
    shade.setColorAt(leftFirst ? 1.0 : 0.0, skin.dark);
    p.setPen(QPen(QBrush(shade), width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
}

void Ball(QPainter& p, QPointF centre, double rx, double ry, const Skin& skin) {
    QRadialGradient shade(centre + QPointF(-rx * 0.35, -ry * 0.4), std::max(rx, ry) * 1.3);
    shade.setColorAt(0.0, skin.light);
    shade.setColorAt(0.45, skin.mid);
    shade.setColorAt(1.0, skin.dark);
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawEllipse(centre, rx, ry);
}

void Body(QPainter& p, const QPainterPath& outline, const Skin& skin) {
    const QRectF box = outline.boundingRect();
    QLinearGradient across(box.left(), 0, box.right(), 0);
    across.setColorAt(0.0, skin.dark);
    across.setColorAt(0.3, skin.light);
    across.setColorAt(0.55, skin.mid);
    across.setColorAt(1.0, skin.dark);
    p.setPen(Qt::NoPen);
    p.setBrush(across);
    p.drawPath(outline);
}

struct Build {
    double shoulder;  // half width at the shoulders
    double waist;
    double hip;
    double arm;  // upper arm thickness
    double thigh;
    bool female;
};

// A standing figure in a 100 x 240 box, arms a little away from the body.
void Figure(QPainter& p, const Build& b) {
    // Floor shadow first, so the feet stand on it.
    QRadialGradient floor(QPointF(50, 232), 30);
    floor.setColorAt(0, QColor(70, 70, 80));
    floor.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(floor);
    p.drawEllipse(QPointF(50, 232), 30, 5);

    // Legs.
    for (int side : {-1, 1}) {
        const double hipX = 50 + side * (b.hip - b.thigh / 2);
        Limb(p, {hipX, 104}, {50 + side * 7.5, 160}, b.thigh, kSkin);
        Limb(p, {50 + side * 7.5, 160}, {50 + side * 7.0, 218}, b.thigh * 0.68, kSkin);
        Ball(p, {50 + side * 8.5, 224}, 5.5, 3.5, kSkin);
    }
    // Arms behind the torso's edge.
    for (int side : {-1, 1}) {
        const QPointF shoulder(50 + side * (b.shoulder - 3), 44);
        const QPointF elbow(50 + side * (b.shoulder + 4), 80);
        const QPointF wrist(50 + side * (b.shoulder + 7), 112);
        Limb(p, shoulder, elbow, b.arm, kSkin);
        Limb(p, elbow, wrist, b.arm * 0.78, kSkin);
        Ball(p, wrist + QPointF(side * 1.0, 7), 3.6, 6, kSkin);
    }
    // Neck and torso.
    Limb(p, {50, 28}, {50, 42}, b.female ? 7 : 9.5, kSkin);
    QPainterPath torso;
    torso.moveTo(50 - b.shoulder, 42);
    torso.cubicTo(50 - b.shoulder - 1, 60, 50 - b.waist, 66, 50 - b.waist, 78);
    torso.cubicTo(50 - b.waist, 88, 50 - b.hip, 92, 50 - b.hip, 104);
    torso.lineTo(50 + b.hip, 104);
    torso.cubicTo(50 + b.hip, 92, 50 + b.waist, 88, 50 + b.waist, 78);
    torso.cubicTo(50 + b.waist, 66, 50 + b.shoulder + 1, 60, 50 + b.shoulder, 42);
    torso.cubicTo(50 + b.shoulder - 6, 37, 50 - b.shoulder + 6, 37, 50 - b.shoulder, 42);
    Body(p, torso, kSkin);
    if (b.female) {
        for (int side : {-1, 1}) {
            Ball(p, {50 + side * 6.5, 58}, 6.2, 5.5, kSkin);
        }
    }
    // Plain shorts (and a top for her), as a posing program's default figure wears.
    QPainterPath shorts;
    shorts.moveTo(50 - b.hip - 0.5, 96);
    shorts.lineTo(50 + b.hip + 0.5, 96);
    shorts.lineTo(50 + b.hip + 0.5, 116);
    shorts.lineTo(52, 116);
    shorts.lineTo(50, 108);
    shorts.lineTo(48, 116);
    shorts.lineTo(50 - b.hip - 0.5, 116);
    shorts.closeSubpath();
    Body(p, shorts, kCloth);
    if (b.female) {
        QPainterPath top;
        top.addRoundedRect(QRectF(50 - 13.5, 52, 27, 12), 5, 5);
        Body(p, top, kCloth);
    }
    // Head and hair.
    if (b.female) {
        QPainterPath hair;
        hair.moveTo(38, 16);
        hair.cubicTo(38, 0, 62, 0, 62, 16);
        hair.cubicTo(64, 30, 63, 40, 58, 44);
        hair.lineTo(42, 44);
        hair.cubicTo(37, 40, 36, 30, 38, 16);
        Body(p, hair, kHair);
    }
    Ball(p, {50, 18}, b.female ? 9 : 10, 11.5, kSkin);
    QPainterPath fringe;
    if (b.female) {
        fringe.moveTo(40, 15);
        fringe.cubicTo(42, 3, 58, 3, 60, 15);
        fringe.cubicTo(55, 9, 46, 9, 40, 15);
    } else {
        fringe.moveTo(39.5, 16);
        fringe.cubicTo(40, 3, 60, 3, 60.5, 16);
        fringe.cubicTo(56, 10, 44, 10, 39.5, 16);
    }
    Body(p, fringe, kHair);
}

QImage FigureImage(const Build& build, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double scale = std::min(width / 100.0, height / 240.0);
    p.translate((width - 100 * scale) / 2, (height - 240 * scale) / 2);
    p.scale(scale, scale);
    Figure(p, build);
    return image;
}

QImage Banner(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setBold(true);
    font.setPixelSize(height * 7 / 10);
    font.setLetterSpacing(QFont::PercentageSpacing, 108);
    QPainterPath text;
    text.addText(0, 0, font, QStringLiteral("Tessary"));
    const QRectF box = text.boundingRect();
    text.translate((width - box.width()) / 2 - box.left(), (height - box.height()) / 2 - box.top());
    const QRectF placed = text.boundingRect();
    // A dark red glow behind the letters, then the letters lit from above.
    for (int spread = 10; spread > 0; spread -= 2) {
        p.setPen(QPen(QColor(120, 0, 0, 22), spread, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(text);
    }
    QLinearGradient red(0, placed.top(), 0, placed.bottom());
    red.setColorAt(0.0, QColor(255, 150, 130));
    red.setColorAt(0.35, QColor(235, 20, 10));
    red.setColorAt(0.6, QColor(170, 0, 0));
    red.setColorAt(1.0, QColor(90, 0, 0));
    p.setPen(QPen(QColor(60, 0, 0), 1.5));
    p.setBrush(red);
    p.drawPath(text);
    return image;
}

void Icon(QPainter& p, int size) {
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 64.0;
    p.scale(s, s);
    QRadialGradient back(QPointF(24, 20), 60);
    back.setColorAt(0, QColor(70, 10, 10));
    back.setColorAt(1, QColor(10, 0, 0));
    p.setPen(QPen(QColor(200, 30, 20), 2));
    p.setBrush(back);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    // A little figure in the pose of someone waving.
    Limb(p, {32, 24}, {32, 40}, 10, kSkin);
    Limb(p, {28, 40}, {24, 56}, 6, kSkin);
    Limb(p, {36, 40}, {40, 56}, 6, kSkin);
    Limb(p, {27, 25}, {19, 36}, 4.5, kSkin);
    Limb(p, {37, 25}, {46, 14}, 4.5, kSkin);
    Ball(p, {32, 15}, 6, 6.5, kSkin);
}

QImage IconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    Icon(p, size);
    return image;
}

// Five 16 x 16 pictures on white, which the tree treats as transparent.
QImage TreeImages() {
    QImage image(80, 16, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // 0: cyan ball.
    QRadialGradient ball(QPointF(6, 6), 9);
    ball.setColorAt(0, QColor(220, 255, 255));
    ball.setColorAt(0.5, QColor(0, 200, 220));
    ball.setColorAt(1, QColor(0, 90, 110));
    p.setPen(Qt::NoPen);
    p.setBrush(ball);
    p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
    // 1, 2, 4: letters.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(14);
    p.setFont(font);
    const auto letter = [&](int slot, const QString& text, QColor colour) {
        p.setPen(colour.darker(160));
        p.drawText(QRectF(slot * 16 + 1, 1, 16, 16), Qt::AlignCenter, text);
        p.setPen(colour);
        p.drawText(QRectF(slot * 16, 0, 16, 16), Qt::AlignCenter, text);
    };
    letter(1, QStringLiteral("M"), QColor(240, 200, 0));
    letter(2, QStringLiteral("P"), QColor(0, 170, 40));
    letter(4, QStringLiteral("C"), QColor(0, 170, 40));
    // 3: an arrow pointing right, for the folders.
    QPainterPath arrow;
    arrow.moveTo(48 + 2, 6);
    arrow.lineTo(48 + 8, 6);
    arrow.lineTo(48 + 8, 2.5);
    arrow.lineTo(48 + 14, 8);
    arrow.lineTo(48 + 8, 13.5);
    arrow.lineTo(48 + 8, 10);
    arrow.lineTo(48 + 2, 10);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(20, 40, 120), 1));
    p.setBrush(QColor(60, 110, 230));
    p.drawPath(arrow);
    return image;
}

bool Save(const QImage& image, const QDir& folder, const QString& name) {
    const QString path = folder.filePath(name);
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessary_artwork OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const Build female{13.5, 9.5, 15.5, 7.0, 15.0, true};
    const Build male{17.5, 12.5, 14.0, 9.5, 16.0, false};
    bool ok = true;
    // Drawn at about three times the size the windows show them.
    ok &= Save(FigureImage(female, 204, 474), folder, "figure-female.png");
    ok &= Save(FigureImage(male, 243, 501), folder, "figure-male.png");
    ok &= Save(Banner(1040, 171), folder, "banner.png");
    // The sizes of the desktop's icon theme; 256 and 32 are also the windows' own.
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        ok &= Save(IconImage(size), folder, QStringLiteral("icon-%1.png").arg(size));
    }
    ok &= Save(TreeImages(), folder, "tree-images.png");
    return ok ? 0 : 1;
}
