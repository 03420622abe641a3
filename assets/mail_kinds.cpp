#include "mail_kinds.h"

#include "drawing.h"
#include "sizes.h"

using namespace art;

namespace {

constexpr qreal W = sizes::mainPicture.width();
constexpr qreal H = sizes::mainPicture.height();

QColor c(QRgb rgb) {
    return QColor(rgb);
}

void confetti(QPainter& p) {
    const QRgb colours[] = {tone::pink, tone::yellow, tone::blue, tone::leaf, tone::lavender};
    const QPointF places[] = {{24, 22},  {62, 48},  {100, 18}, {138, 44},  {176, 20}, {212, 50},
                              {246, 22}, {282, 46}, {30, 150}, {276, 150}, {20, 90},  {286, 96}};
    for (int i = 0; i < 12; ++i) {
        const QPointF at = places[i];
        if (i % 2) {
            star(p, at, 6, c(colours[i % 5]), 1.2);
        } else {
            heart(p, at, 10, c(colours[i % 5]), 1.2);
        }
    }
}

void wings(QPainter& p, QPointF left, QPointF right, qreal size) {
    for (qreal side : {-1.0, 1.0}) {
        const QPointF root = side < 0 ? left : right;
        QPainterPath wing;
        wing.moveTo(root);
        wing.cubicTo(root + QPointF(side * size * 0.4, -size * 0.9),
                     root + QPointF(side * size * 1.1, -size * 0.7),
                     root + QPointF(side * size * 1.2, -size * 0.45));
        wing.cubicTo(root + QPointF(side * size * 0.9, -size * 0.3),
                     root + QPointF(side * size * 0.8, -size * 0.1), root + QPointF(0, size * 0.2));
        wing.closeSubpath();
        shape(p, wing, c(tone::white), 2);
    }
}

void newMail(QPainter& p) {
    verticalGradient(p, QRectF(0, 0, W, H), c(0xffffe9f1), c(0xfffff8e6));
    confetti(p);
    wings(p, {96, 110}, {209, 110}, 60);
    envelope(p, QRectF(92, 80, 121, 84), c(tone::cream), 2.5);
    heart(p, {152, 128}, 26, c(tone::red), 2);
    face(p, {152, 152}, 20, Expression::Happy);
    caption(p, QRectF(0, 172, W, 44), QStringLiteral("新着メール！"), 30, c(tone::red));
}

void noMail(QPainter& p) {
    verticalGradient(p, QRectF(0, 0, W, H), c(0xffdff1ff), c(0xfff2fbff));
    hill(p, QRectF(0, 0, W, H), 160, 6, c(tone::grass));
    limb(p, {150, 160}, {150, 104}, 10, c(tone::brown), 2);
    QPainterPath box;
    box.moveTo(98, 108);
    box.lineTo(98, 70);
    box.cubicTo(98, 40, 202, 40, 202, 70);
    box.lineTo(202, 108);
    box.closeSubpath();
    shape(p, box, c(tone::blue), 2.5);
    roundedBox(p, QRectF(112, 66, 60, 10), 5, c(0xff5a7fa8), 2);
    face(p, {155, 92}, 26, Expression::Sleepy);
    limb(p, {208, 104}, {208, 80}, 3, c(tone::ink), 0);
    roundedBox(p, QRectF(206, 80, 8, 20), 3, c(tone::red), 1.8);
    sleepingCat(p, {112, 40}, 60, c(tone::grey));
    flower(p, {40, 176}, 30, c(tone::pink));
    flower(p, {262, 178}, 26, c(tone::yellow));
    caption(p, QRectF(0, 172, W, 44), QStringLiteral("新着メールなし"), 28, c(0xff5a7fa8));
}

void letterOnItsWay(QPainter& p) {
    verticalGradient(p, QRectF(0, 0, W, H), c(0xffbfe6ff), c(0xffeef9ff));
    cloud(p, {60, 60}, 60);
    cloud(p, {250, 120}, 50);
    p.setPen(QPen(c(tone::ink), 2, Qt::DashLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath trail;
    trail.moveTo(20, 170);
    trail.cubicTo(70, 120, 90, 160, 120, 120);
    p.drawPath(trail);
    wings(p, {140, 105}, {220, 105}, 42);
    envelope(p, QRectF(136, 78, 88, 60), c(tone::cream), 2.2);
    face(p, {180, 124}, 16, Expression::Smile);
    caption(p, QRectF(0, 172, W, 44), QStringLiteral("メール"), 30, c(0xff4f86c6));
}

void attachmentWarning(QPainter& p) {
    verticalGradient(p, QRectF(0, 0, W, H), c(0xfffff3cf), c(0xffffe7e0));
    envelope(p, QRectF(60, 70, 124, 86), c(tone::cream), 2.5);
    face(p, {122, 134}, 20, Expression::Worried);
    QPainterPath clip;
    clip.moveTo(92, 84);
    clip.lineTo(92, 40);
    clip.arcTo(QRectF(92, 28, 24, 24), 180, -180);
    clip.lineTo(116, 90);
    clip.arcTo(QRectF(100, 82, 16, 16), 0, -180);
    clip.lineTo(100, 50);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(c(tone::ink), 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(clip);
    p.setPen(QPen(c(0xff9bb0c8), 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(clip);
    QPainterPath sign;
    sign.moveTo(232, 46);
    sign.lineTo(280, 136);
    sign.lineTo(184, 136);
    sign.closeSubpath();
    p.setPen(QPen(c(tone::ink), 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(c(tone::ink));
    p.drawPath(sign);
    p.setPen(QPen(c(tone::yellow), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(c(tone::yellow));
    p.drawPath(sign);
    limb(p, {232, 74}, {232, 108}, 7, c(tone::ink), 0);
    ellipse(p, {232, 124}, 4.5, 4.5, c(tone::ink), 0);
    caption(p, QRectF(0, 172, W, 44), QStringLiteral("添付ファイルに注意"), 26, c(tone::red));
}

}  // namespace

QImage mailKindPicture(int number) {
    QImage image(sizes::mainPicture, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    switch (number) {
        case 1:
            newMail(p);
            break;
        case 2:
            noMail(p);
            break;
        case 3:
            letterOnItsWay(p);
            break;
        default:
            attachmentWarning(p);
            break;
    }
    p.setPen(QPen(QColor(tone::ink), 3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0, 0, W, H).adjusted(1.5, 1.5, -1.5, -1.5));
    return image;
}
