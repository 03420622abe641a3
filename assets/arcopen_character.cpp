#include "arcopen_character.h"

#include "drawing.h"
#include "sizes.h"

using namespace art;

QImage arcopenCharacter() {
    QImage image(sizes::arcopenCharacter, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(image.width() / 120.0, image.height() / 120.0);
    const qreal line = 2.6;
    const QColor card(0xffe9b57a);
    const QColor cardDark(0xffd19a5e);
    // Papers springing out of the open box.
    const QRgb sheets[] = {tone::paper, tone::sky, tone::pink};
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(42.0 + i * 18, 46.0 - (i % 2) * 10);
        p.rotate(-20 + i * 20);
        roundedBox(p, QRectF(-10, -20, 20, 26), 3, QColor(sheets[i]), line * 0.8);
        p.setPen(QPen(QColor(tone::blue), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(-5, -13), QPointF(5, -13));
        p.drawLine(QPointF(-5, -7), QPointF(5, -7));
        p.restore();
    }
    star(p, {20, 24}, 8, QColor(tone::yellow), 1.8);
    star(p, {102, 18}, 7, QColor(tone::yellow), 1.8);
    star(p, {96, 42}, 4.5, QColor(tone::yellow), 1.4);
    for (qreal side : {-1.0, 1.0}) {
        limb(p, QPointF(60 + side * 34, 78), QPointF(60 + side * 50, 60), 8, card, line);
        ellipse(p, QPointF(60 + side * 50, 58), 6, 6, QColor(tone::cream), line);
    }
    roundedBox(p, QRectF(24, 56, 72, 56), 8, card, line);
    for (qreal side : {-1.0, 1.0}) {
        QPainterPath flap;
        flap.moveTo(60 + side * 36, 57);
        flap.lineTo(60 + side * 50, 44);
        flap.lineTo(60 + side * 20, 44);
        flap.lineTo(60 + side * 6, 57);
        flap.closeSubpath();
        shape(p, flap, cardDark, line);
    }
    face(p, {60, 86}, 30, Expression::Happy);
    return image;
}
