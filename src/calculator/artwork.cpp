#include "calculator/artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace marqor {

namespace {

constexpr int kWidth = 572;
constexpr int kHeight = 340;
constexpr int kTextBandTop = 240;

QFont PictureFont(int pixelSize, bool bold, double letterSpacing = 0) {
    QFont f("Arial");
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    if (letterSpacing != 0)
        f.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    return f;
}

QPainterPath Wave(double top, double amplitude, double length, double phase, double bottom) {
    QPainterPath path;
    path.moveTo(0, bottom);
    for (int x = 0; x <= kWidth; x += 4)
        path.lineTo(x, top + amplitude * std::sin((x / length + phase) * 2 * M_PI));
    path.lineTo(kWidth, bottom);
    path.closeSubpath();
    return path;
}

void DrawWater(QPainter& p) {
    QLinearGradient sky(0, 0, 0, kTextBandTop);
    sky.setColorAt(0, QColor(0x07, 0x1e, 0x3d));
    sky.setColorAt(1, QColor(0x0d, 0x4f, 0x86));
    p.fillRect(0, 0, kWidth, kTextBandTop, sky);
    const struct {
        double top, amplitude, length, phase;
        QColor colour;
    } waves[] = {
        {178, 6, 190, 0.00, QColor(0x2a, 0x8c, 0xd2, 70)},
        {196, 5, 150, 0.35, QColor(0x3f, 0xa9, 0xe8, 80)},
        {214, 4, 120, 0.70, QColor(0x63, 0xc4, 0xf2, 90)},
    };
    for (const auto& w : waves)
        p.fillPath(Wave(w.top, w.amplitude, w.length, w.phase, kTextBandTop), w.colour);
    p.fillRect(0, kTextBandTop, kWidth, kHeight - kTextBandTop, QColor(0x06, 0x15, 0x2a));
    p.fillRect(0, kTextBandTop, kWidth, 2, QColor(0x4f, 0xb6, 0xee));
}

// A swimmer doing front crawl inside a ring: head, reaching arm, body and the water line.
void DrawSwimmerEmblem(QPainter& p, QPointF centre, double radius) {
    QRadialGradient disc(centre - QPointF(radius / 3, radius / 3), radius * 1.4);
    disc.setColorAt(0, QColor(0x4c, 0xb3, 0xf0));
    disc.setColorAt(1, QColor(0x0f, 0x4c, 0x85));
    p.setPen(QPen(QColor(255, 255, 255, 230), 3));
    p.setBrush(disc);
    p.drawEllipse(centre, radius, radius);

    QPainterPath clip;
    clip.addEllipse(centre, radius - 2, radius - 2);
    p.save();
    p.setClipPath(clip);
    const QColor white(255, 255, 255);
    const double s = radius / 72.0;
    auto at = [&](double x, double y) {
        return centre + QPointF(x * s, y * s);
    };
    // Arm swinging forward over the head, the hand about to enter the water.
    QPainterPath arm;
    arm.moveTo(at(6, 2));
    arm.cubicTo(at(-4, -46), at(-48, -44), at(-58, 12));
    p.setPen(QPen(white, 9 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arm);
    // Body stretched along the water.
    QPainterPath body;
    body.moveTo(at(-12, 14));
    body.cubicTo(at(10, 4), at(30, 8), at(50, 4));
    p.setPen(QPen(white, 12 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(body);
    // Head turned to breathe, and the splash of the kick.
    p.setPen(Qt::NoPen);
    p.setBrush(white);
    p.drawEllipse(at(-25, 12), 11 * s, 11 * s);
    p.drawEllipse(at(60, -3), 3.5 * s, 3.5 * s);
    p.drawEllipse(at(66, 6), 2.6 * s, 2.6 * s);
    p.drawEllipse(at(57, -12), 2.2 * s, 2.2 * s);
    // Water lines.
    for (int i = 0; i < 3; ++i) {
        QPainterPath line;
        const double y = 26 + i * 13;
        line.moveTo(at(-80, y));
        for (double x = -80; x <= 80; x += 4)
            line.lineTo(at(x, y + 4 * std::sin((x / 32 + i * 0.5) * M_PI)));
        p.setPen(
            QPen(QColor(255, 255, 255, 210 - i * 50), (4 - i) * s, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(line);
    }
    p.restore();
}

// The product family's mark: a "K" of three strokes in a rounded square, and its name.
void DrawFamilyEmblem(QPainter& p, QPointF topLeft) {
    const QRectF box(topLeft, QSizeF(30, 30));
    QLinearGradient fill(box.topLeft(), box.bottomRight());
    fill.setColorAt(0, QColor(0xf7, 0xb2, 0x2d));
    fill.setColorAt(1, QColor(0xe0, 0x6a, 0x12));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(box, 7, 7);
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF o = box.topLeft();
    p.drawLine(o + QPointF(10, 7), o + QPointF(10, 23));
    p.drawLine(o + QPointF(21, 7), o + QPointF(12, 15));
    p.drawLine(o + QPointF(12, 15), o + QPointF(21, 23));
    p.setPen(QColor(0xf4, 0xf8, 0xfc));
    p.setFont(PictureFont(14, true, 3));
    p.drawText(QPointF(o.x() + 40, o.y() + 21), "KAVRIN");
}

void DrawTitle(QPainter& p) {
    p.setPen(QColor(0x7f, 0xd3, 0xff));
    p.setFont(PictureFont(22, true, 6));
    p.drawText(QPointF(44, 104), "FINA");
    p.setPen(Qt::white);
    p.setFont(PictureFont(58, true));
    p.drawText(QPointF(38, 160), "Marqor");
    p.setPen(QColor(0xb8, 0xd8, 0xf0));
    p.setFont(PictureFont(15, false));
    p.drawText(QPointF(44, 188), "Points calculator for competitive swimming");
}

QPixmap IconPixmap(int index, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    switch (index) {
    case 0: { // about: an "i" in a blue disc
        QRadialGradient disc(QPointF(6, 5), 11);
        disc.setColorAt(0, QColor(0x6a, 0xb4, 0xf5));
        disc.setColorAt(1, QColor(0x1c, 0x5f, 0xb8));
        p.setPen(QPen(QColor(0x12, 0x46, 0x8c), 0.8));
        p.setBrush(disc);
        p.drawEllipse(QRectF(0.8, 0.8, 14.4, 14.4));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(6.8, 3.2, 2.4, 2.4));
        p.drawRoundedRect(QRectF(6.9, 6.6, 2.2, 6.4), 0.8, 0.8);
        break;
    }
    case 1: { // quit: a door and an arrow leaving through it
        p.setPen(QPen(QColor(0x5b, 0x3a, 0x1a), 0.9));
        p.setBrush(QColor(0xb9, 0x7a, 0x3c));
        p.drawRect(QRectF(1.5, 1.5, 7, 13));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xf1, 0xd2, 0x4a));
        p.drawEllipse(QRectF(6.2, 7.6, 1.4, 1.4));
        QPainterPath arrow;
        arrow.moveTo(7.5, 6.6);
        arrow.lineTo(11.2, 6.6);
        arrow.lineTo(11.2, 3.8);
        arrow.lineTo(15.3, 8.0);
        arrow.lineTo(11.2, 12.2);
        arrow.lineTo(11.2, 9.4);
        arrow.lineTo(7.5, 9.4);
        arrow.closeSubpath();
        p.setPen(QPen(QColor(0x8f, 0x12, 0x12), 0.7));
        p.setBrush(QColor(0xe0, 0x30, 0x2c));
        p.drawPath(arrow);
        break;
    }
    default: { // print: a printer with a sheet coming out
        p.setPen(QPen(QColor(0x55, 0x55, 0x55), 0.8));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 1, 8, 5));
        QLinearGradient body(0, 5, 0, 12);
        body.setColorAt(0, QColor(0x9a, 0xa4, 0xae));
        body.setColorAt(1, QColor(0x5d, 0x67, 0x72));
        p.setPen(QPen(QColor(0x3d, 0x44, 0x4c), 0.8));
        p.setBrush(body);
        p.drawRoundedRect(QRectF(1, 5, 14, 7), 1.5, 1.5);
        p.setPen(QPen(QColor(0x55, 0x55, 0x55), 0.8));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 9.5, 8, 5.5));
        p.setPen(QPen(QColor(0x80, 0x80, 0x80), 0.6));
        p.drawLine(QPointF(5.5, 11.5), QPointF(10.5, 11.5));
        p.drawLine(QPointF(5.5, 13.3), QPointF(9.5, 13.3));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x3c, 0xd0, 0x4c));
        p.drawEllipse(QRectF(12, 6.6, 1.6, 1.6));
        break;
    }
    }
    return pixmap;
}

} // namespace

QPixmap StartupPicture() {
    QPixmap picture(kWidth, kHeight);
    picture.fill(Qt::black);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    DrawWater(p);
    DrawFamilyEmblem(p, QPointF(35, 26));
    DrawTitle(p);
    DrawSwimmerEmblem(p, QPointF(448, 112), 74);
    return picture;
}

std::vector<QIcon> ActionImages() {
    std::vector<QIcon> images;
    for (int i = 0; i < 3; ++i) {
        QIcon icon;
        icon.addPixmap(IconPixmap(i, 16));
        icon.addPixmap(IconPixmap(i, 32));
        images.push_back(icon);
    }
    return images;
}

} // namespace marqor
