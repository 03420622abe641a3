#include "drawing.h"

#include <QFont>
#include <QLinearGradient>
#include <QtMath>

namespace art {

namespace {

QPen outline(qreal line) {
    return QPen(QColor(tone::ink), line, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPointF polar(QPointF origin, qreal length, qreal degreesFromDown) {
    const qreal a = qDegreesToRadians(degreesFromDown);
    return origin + QPointF(length * qSin(a), length * qCos(a));
}

void eye(QPainter& p, QPointF at, qreal size, Expression expression) {
    p.setPen(outline(size * 0.09));
    p.setBrush(Qt::NoBrush);
    switch (expression) {
        case Expression::Happy:
            p.drawArc(QRectF(at.x() - size * 0.1, at.y() - size * 0.06, size * 0.2, size * 0.16),
                      20 * 16, 140 * 16);
            break;
        case Expression::Sleepy:
            p.drawArc(QRectF(at.x() - size * 0.1, at.y() - size * 0.12, size * 0.2, size * 0.16),
                      200 * 16, 140 * 16);
            break;
        default:
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(tone::ink));
            p.drawEllipse(at, size * 0.075, size * 0.095);
            p.setBrush(QColor(tone::white));
            p.drawEllipse(at + QPointF(size * 0.025, -size * 0.035), size * 0.025, size * 0.025);
            break;
    }
}

}  // namespace

void shape(QPainter& p, const QPainterPath& path, QColor fill, qreal line) {
    p.setBrush(fill);
    p.setPen(line > 0 ? outline(line) : QPen(Qt::NoPen));
    p.drawPath(path);
}

void ellipse(QPainter& p, QPointF centre, qreal rx, qreal ry, QColor fill, qreal line) {
    QPainterPath path;
    path.addEllipse(centre, rx, ry);
    shape(p, path, fill, line);
}

void roundedBox(QPainter& p, const QRectF& box, qreal radius, QColor fill, qreal line) {
    QPainterPath path;
    path.addRoundedRect(box, radius, radius);
    shape(p, path, fill, line);
}

void limb(QPainter& p, QPointF from, QPointF to, qreal width, QColor fill, qreal line) {
    p.setBrush(Qt::NoBrush);
    if (line > 0) {
        p.setPen(QPen(QColor(tone::ink), width + 2 * line, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(from, to);
    }
    p.setPen(QPen(fill, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
}

void face(QPainter& p, QPointF centre, qreal size, Expression expression) {
    const qreal dx = size * 0.3;
    const QPointF left = centre + QPointF(-dx, -size * 0.05);
    const QPointF right = centre + QPointF(dx, -size * 0.05);
    p.setPen(Qt::NoPen);
    QColor cheek(tone::blush);
    cheek.setAlpha(150);
    p.setBrush(cheek);
    p.drawEllipse(centre + QPointF(-dx * 1.45, size * 0.12), size * 0.11, size * 0.07);
    p.drawEllipse(centre + QPointF(dx * 1.45, size * 0.12), size * 0.11, size * 0.07);
    eye(p, left, size, expression);
    eye(p, right, size, expression);
    p.setPen(outline(size * 0.08));
    p.setBrush(Qt::NoBrush);
    const QRectF mouth(centre.x() - size * 0.12, centre.y() + size * 0.02, size * 0.24,
                       size * 0.18);
    switch (expression) {
        case Expression::Surprised:
            p.setBrush(QColor(tone::red));
            p.drawEllipse(centre + QPointF(0, size * 0.17), size * 0.06, size * 0.075);
            break;
        case Expression::Worried:
            p.drawArc(mouth.translated(0, size * 0.1), 30 * 16, 120 * 16);
            break;
        case Expression::Sleepy:
            p.drawArc(mouth.adjusted(size * 0.04, 0, -size * 0.04, -size * 0.04), 200 * 16,
                      140 * 16);
            break;
        default:
            p.drawArc(mouth, 200 * 16, 140 * 16);
            break;
    }
}

Hands person(QPainter& p, QPointF feet, qreal h, const Person& look) {
    const qreal line = qMax(1.0, h * 0.018);
    const qreal headR = h * (look.child ? 0.2 : 0.14);
    const QPointF head(feet.x(), feet.y() - h + headR);
    const qreal shoulderY = feet.y() - h * (look.child ? 0.58 : 0.68);
    const qreal hipY = feet.y() - h * (look.child ? 0.27 : 0.32);
    const qreal halfTop = h * (look.child ? 0.12 : 0.1);
    const qreal halfBottom = h * (look.child ? 0.15 : 0.14);
    const qreal armLength = h * (look.child ? 0.27 : 0.31);
    const qreal limbWidth = h * (look.child ? 0.09 : 0.07);

    if (look.longHair) {
        roundedBox(
            p, QRectF(head.x() - headR * 1.08, head.y() - headR * 0.4, headR * 2.16, headR * 1.9),
            headR * 0.6, look.hair, line);
    }
    for (qreal side : {-1.0, 1.0}) {
        const QPointF hip(feet.x() + side * h * 0.065, hipY);
        limb(p, hip, QPointF(hip.x(), feet.y() - limbWidth * 0.5), limbWidth, look.trousers, line);
        ellipse(p, QPointF(hip.x() + side * limbWidth * 0.25, feet.y() - limbWidth * 0.3),
                limbWidth * 0.75, limbWidth * 0.45, QColor(tone::darkBrown), line);
    }
    Hands hands;
    for (qreal side : {-1.0, 1.0}) {
        const QPointF shoulder(feet.x() + side * halfTop * 0.85, shoulderY + limbWidth * 0.6);
        const qreal angle = side * (side < 0 ? look.leftArm : look.rightArm);
        const QPointF hand = polar(shoulder, armLength, angle);
        limb(p, shoulder, hand, limbWidth * 0.9, look.shirt, line);
        ellipse(p, hand, limbWidth * 0.55, limbWidth * 0.55, QColor(tone::skin), line);
        (side < 0 ? hands.left : hands.right) = hand;
    }
    QPainterPath body;
    body.moveTo(feet.x() - halfTop, shoulderY);
    body.lineTo(feet.x() + halfTop, shoulderY);
    body.quadTo(feet.x() + halfBottom, hipY - h * 0.1, feet.x() + halfBottom, hipY);
    body.lineTo(feet.x() - halfBottom, hipY);
    body.quadTo(feet.x() - halfBottom, hipY - h * 0.1, feet.x() - halfTop, shoulderY);
    shape(p, body, look.shirt, line);

    ellipse(p, head, headR, headR, QColor(tone::skin), line);
    QPainterPath headPath;
    headPath.addEllipse(head, headR, headR);
    QPainterPath cap;
    cap.addRect(QRectF(head.x() - headR * 1.2, head.y() - headR * 1.2, headR * 2.4, headR * 0.75));
    QPainterPath fringe;
    fringe.addEllipse(head + QPointF(headR * 0.35, -headR * 0.35), headR * 0.6, headR * 0.35);
    shape(p, headPath.intersected(cap.united(fringe)), look.hair, line);
    face(p, head + QPointF(0, headR * 0.3), headR * 1.0, look.expression);
    return hands;
}

void dog(QPainter& p, QPointF base, qreal s, QColor coat, bool mirrored) {
    p.save();
    p.translate(base);
    if (mirrored) {
        p.scale(-1, 1);
    }
    const qreal line = qMax(1.0, s * 0.03);
    const QColor darker = coat.darker(125);
    limb(p, QPointF(-s * 0.38, -s * 0.45), QPointF(-s * 0.55, -s * 0.72), s * 0.09, coat, line);
    for (qreal x : {-0.3, -0.18, 0.16, 0.28}) {
        limb(p, QPointF(s * x, -s * 0.35), QPointF(s * x, -s * 0.06), s * 0.1,
             x < -0.2 || x > 0.2 ? coat : darker, line);
    }
    ellipse(p, QPointF(0, -s * 0.42), s * 0.42, s * 0.22, coat, line);
    limb(p, QPointF(s * 0.2, -s * 0.5), QPointF(s * 0.42, -s * 0.46), s * 0.06, QColor(tone::red),
         line * 0.8);
    ellipse(p, QPointF(s * 0.38, -s * 0.72), s * 0.25, s * 0.23, coat, line);
    p.save();
    p.translate(s * 0.22, -s * 0.72);
    p.rotate(20);
    ellipse(p, QPointF(0, s * 0.07), s * 0.08, s * 0.17, darker, line);
    p.restore();
    ellipse(p, QPointF(s * 0.58, -s * 0.63), s * 0.13, s * 0.1, QColor(tone::cream), line);
    ellipse(p, QPointF(s * 0.69, -s * 0.67), s * 0.045, s * 0.035, QColor(tone::ink), 0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(tone::ink));
    p.drawEllipse(QPointF(s * 0.45, -s * 0.78), s * 0.035, s * 0.045);
    QColor cheek(tone::blush);
    cheek.setAlpha(150);
    p.setBrush(cheek);
    p.drawEllipse(QPointF(s * 0.4, -s * 0.66), s * 0.05, s * 0.03);
    p.setPen(outline(line * 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(s * 0.55, -s * 0.66, s * 0.1, s * 0.06), 200 * 16, 140 * 16);
    p.restore();
}

void sittingCat(QPainter& p, QPointF base, qreal s, QColor coat, bool mirrored) {
    p.save();
    p.translate(base);
    if (mirrored) {
        p.scale(-1, 1);
    }
    const qreal line = qMax(1.0, s * 0.035);
    QPainterPath tail;
    tail.moveTo(-s * 0.2, -s * 0.1);
    tail.cubicTo(-s * 0.7, -s * 0.1, -s * 0.6, -s * 0.7, -s * 0.45, -s * 0.75);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(tone::ink), s * 0.12 + 2 * line, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(tail);
    p.setPen(QPen(coat, s * 0.12, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(tail);
    ellipse(p, QPointF(0, -s * 0.35), s * 0.3, s * 0.35, coat, line);
    ellipse(p, QPointF(0, -s * 0.2), s * 0.15, s * 0.2, QColor(tone::cream), 0);
    const QPointF head(s * 0.05, -s * 0.85);
    for (qreal side : {-1.0, 1.0}) {
        QPainterPath ear;
        ear.moveTo(head + QPointF(side * s * 0.26, -s * 0.05));
        ear.lineTo(head + QPointF(side * s * 0.22, -s * 0.34));
        ear.lineTo(head + QPointF(side * s * 0.04, -s * 0.18));
        ear.closeSubpath();
        shape(p, ear, coat, line);
    }
    ellipse(p, head, s * 0.3, s * 0.25, coat, line);
    face(p, head + QPointF(0, s * 0.03), s * 0.3, Expression::Smile);
    p.restore();
}

void sleepingCat(QPainter& p, QPointF base, qreal s, QColor coat) {
    const qreal line = qMax(1.0, s * 0.03);
    ellipse(p, base + QPointF(0, -s * 0.22), s * 0.45, s * 0.22, coat, line);
    limb(p, base + QPointF(-s * 0.4, -s * 0.05), base + QPointF(s * 0.1, -s * 0.03), s * 0.1, coat,
         line);
    const QPointF head = base + QPointF(s * 0.32, -s * 0.22);
    for (qreal side : {-1.0, 1.0}) {
        QPainterPath ear;
        ear.moveTo(head + QPointF(side * s * 0.2, -s * 0.05));
        ear.lineTo(head + QPointF(side * s * 0.17, -s * 0.28));
        ear.lineTo(head + QPointF(side * s * 0.02, -s * 0.16));
        ear.closeSubpath();
        shape(p, ear, coat, line);
    }
    ellipse(p, head, s * 0.23, s * 0.18, coat, line);
    face(p, head + QPointF(0, s * 0.02), s * 0.23, Expression::Sleepy);
}

void tree(QPainter& p, QPointF base, qreal h, QColor foliage) {
    const qreal line = qMax(1.0, h * 0.015);
    roundedBox(p, QRectF(base.x() - h * 0.06, base.y() - h * 0.5, h * 0.12, h * 0.5), h * 0.03,
               QColor(tone::brown), line);
    QPainterPath crown;
    crown.addEllipse(base + QPointF(0, -h * 0.72), h * 0.26, h * 0.24);
    crown.addEllipse(base + QPointF(-h * 0.2, -h * 0.55), h * 0.2, h * 0.17);
    crown.addEllipse(base + QPointF(h * 0.2, -h * 0.55), h * 0.2, h * 0.17);
    crown.setFillRule(Qt::WindingFill);
    shape(p, crown.simplified(), foliage, line);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 70));
    p.drawEllipse(base + QPointF(-h * 0.08, -h * 0.8), h * 0.1, h * 0.06);
}

void house(QPainter& p, const QRectF& walls, QColor wall, QColor roof, bool lit) {
    const qreal w = walls.width();
    const qreal line = qMax(1.0, w * 0.02);
    roundedBox(p, walls, w * 0.03, wall, line);
    QPainterPath top;
    top.moveTo(walls.left() - w * 0.12, walls.top() + w * 0.04);
    top.lineTo(walls.center().x(), walls.top() - w * 0.45);
    top.lineTo(walls.right() + w * 0.12, walls.top() + w * 0.04);
    top.closeSubpath();
    shape(p, top, roof, line);
    roundedBox(p, QRectF(walls.left() + w * 0.58, walls.bottom() - w * 0.42, w * 0.24, w * 0.42),
               w * 0.05, QColor(tone::brown), line);
    const QColor glass = lit ? QColor(tone::yellow) : QColor(tone::sky);
    const QRectF window(walls.left() + w * 0.14, walls.top() + w * 0.16, w * 0.3, w * 0.26);
    roundedBox(p, window, w * 0.03, glass, line);
    p.setPen(outline(line * 0.8));
    p.drawLine(QPointF(window.center().x(), window.top()),
               QPointF(window.center().x(), window.bottom()));
    p.drawLine(QPointF(window.left(), window.center().y()),
               QPointF(window.right(), window.center().y()));
}

void sun(QPainter& p, QPointF centre, qreal r) {
    const qreal line = qMax(1.0, r * 0.08);
    for (int i = 0; i < 12; ++i) {
        const QPointF from = polar(centre, r * 1.25, i * 30.0);
        const QPointF to = polar(centre, r * 1.6, i * 30.0);
        limb(p, from, to, r * 0.12, QColor(tone::orange), 0);
    }
    ellipse(p, centre, r, r, QColor(tone::yellow), line);
    face(p, centre + QPointF(0, r * 0.1), r * 0.8, Expression::Happy);
}

void cloud(QPainter& p, QPointF c, qreal w) {
    QPainterPath puff;
    puff.addEllipse(c + QPointF(-w * 0.25, w * 0.05), w * 0.25, w * 0.18);
    puff.addEllipse(c + QPointF(w * 0.02, -w * 0.08), w * 0.26, w * 0.24);
    puff.addEllipse(c + QPointF(w * 0.27, w * 0.06), w * 0.22, w * 0.16);
    puff.setFillRule(Qt::WindingFill);
    shape(p, puff.simplified(), QColor(tone::white), qMax(1.0, w * 0.02));
}

void flower(QPainter& p, QPointF base, qreal h, QColor petals) {
    const qreal line = qMax(0.8, h * 0.04);
    limb(p, base, base + QPointF(0, -h * 0.7), h * 0.06, QColor(tone::leaf), line * 0.8);
    const QPointF centre = base + QPointF(0, -h * 0.78);
    for (int i = 0; i < 5; ++i) {
        ellipse(p, polar(centre, h * 0.18, i * 72.0), h * 0.14, h * 0.14, petals, line);
    }
    ellipse(p, centre, h * 0.11, h * 0.11, QColor(tone::yellow), line);
}

void heart(QPainter& p, QPointF c, qreal s, QColor fill, qreal line) {
    QPainterPath path;
    path.moveTo(c + QPointF(0, s * 0.45));
    path.cubicTo(c + QPointF(-s * 0.9, -s * 0.1), c + QPointF(-s * 0.35, -s * 0.75),
                 c + QPointF(0, -s * 0.25));
    path.cubicTo(c + QPointF(s * 0.35, -s * 0.75), c + QPointF(s * 0.9, -s * 0.1),
                 c + QPointF(0, s * 0.45));
    shape(p, path, fill, line);
}

void star(QPainter& p, QPointF c, qreal r, QColor fill, qreal line) {
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const QPointF point = polar(c, i % 2 == 0 ? r : r * 0.48, 180.0 + i * 36.0);
        i == 0 ? path.moveTo(point) : path.lineTo(point);
    }
    path.closeSubpath();
    shape(p, path, fill, line);
}

void balloon(QPainter& p, QPointF c, qreal r, QColor fill, QPointF stringEnd) {
    const qreal line = qMax(1.0, r * 0.08);
    p.setPen(outline(line * 0.8));
    p.setBrush(Qt::NoBrush);
    QPainterPath string;
    string.moveTo(c + QPointF(0, r * 1.2));
    string.quadTo(QPointF(c.x() + r * 0.6, (c.y() + stringEnd.y()) / 2), stringEnd);
    p.drawPath(string);
    ellipse(p, c, r, r * 1.15, fill, line);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 140));
    p.drawEllipse(c + QPointF(-r * 0.35, -r * 0.45), r * 0.2, r * 0.3);
}

void envelope(QPainter& p, const QRectF& box, QColor fill, qreal line) {
    const qreal r = box.height() * 0.1;
    roundedBox(p, box, r, fill, line);
    p.setPen(outline(line));
    p.setBrush(Qt::NoBrush);
    QPainterPath flap;
    flap.moveTo(box.left() + r * 0.6, box.top() + r * 0.6);
    flap.lineTo(box.center().x(), box.top() + box.height() * 0.58);
    flap.lineTo(box.right() - r * 0.6, box.top() + r * 0.6);
    p.drawPath(flap);
}

void verticalGradient(QPainter& p, const QRectF& area, QColor top, QColor bottom) {
    QLinearGradient gradient(area.topLeft(), area.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    p.fillRect(area, gradient);
}

void hill(QPainter& p, const QRectF& area, qreal crest, qreal wave, QColor fill) {
    QPainterPath path;
    path.moveTo(area.left() - 2, area.bottom() + 2);
    path.lineTo(area.left() - 2, crest);
    path.cubicTo(area.left() + area.width() * 0.3, crest - wave, area.left() + area.width() * 0.6,
                 crest + wave, area.right() + 2, crest - wave * 0.3);
    path.lineTo(area.right() + 2, area.bottom() + 2);
    path.closeSubpath();
    shape(p, path, fill, qMax(1.0, area.width() * 0.005));
}

void caption(QPainter& p, const QRectF& box, const QString& text, qreal pixelSize, QColor fill) {
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(qRound(pixelSize));
    font.setBold(true);
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF bounds = path.boundingRect();
    path.translate(box.center() - bounds.center());
    p.setBrush(Qt::NoBrush);
    p.setPen(
        QPen(QColor(tone::white), pixelSize * 0.28, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    shape(p, path, fill, pixelSize * 0.06);
}

QImage renderOnGrid(int side, qreal minimumLine, const GridDrawing& draw) {
    constexpr qreal kGrid = 64;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / kGrid, side / kGrid);
    draw(p, qMax(minimumLine, kGrid / side * 1.2));
    return image;
}

}  // namespace art
