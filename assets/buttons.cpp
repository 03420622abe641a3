#include "buttons.h"

#include "drawing.h"
#include "sizes.h"

#include <cmath>

using namespace art;

namespace {

QColor c(QRgb rgb) {
    return QColor(rgb);
}

using Drawing = GridDrawing;

// Thicker lines on small sides keep the outline at least a pixel wide.
QImage render(int side, const Drawing& draw) {
    return renderOnGrid(side, 3.0, draw);
}

void arrow(QPainter& p, QPointF tail, QPointF tip, qreal head, QColor fill, qreal line) {
    const QPointF d = (tip - tail) / std::hypot(tip.x() - tail.x(), tip.y() - tail.y());
    const QPointF n(-d.y(), d.x());
    QPainterPath path;
    const qreal shaft = head * 0.42;
    const QPointF neck = tip - d * head;
    path.moveTo(tail + n * shaft);
    path.lineTo(neck + n * shaft);
    path.lineTo(neck + n * head * 0.9);
    path.lineTo(tip);
    path.lineTo(neck - n * head * 0.9);
    path.lineTo(neck - n * shaft);
    path.lineTo(tail - n * shaft);
    path.closeSubpath();
    shape(p, path, fill, line);
}

void tray(QPainter& p, QColor fill, qreal line) {
    QPainterPath path;
    path.moveTo(6, 38);
    path.lineTo(20, 38);
    path.lineTo(24, 46);
    path.lineTo(40, 46);
    path.lineTo(44, 38);
    path.lineTo(58, 38);
    path.lineTo(58, 54);
    path.quadTo(58, 60, 52, 60);
    path.lineTo(12, 60);
    path.quadTo(6, 60, 6, 54);
    path.closeSubpath();
    shape(p, path, fill, line);
}

void paperclip(QPainter& p, QPointF top, qreal height, QColor wire, qreal line) {
    const qreal w = height * 0.36;
    QPainterPath clip;
    clip.moveTo(top + QPointF(0, height * 0.75));
    clip.lineTo(top + QPointF(0, w / 2));
    clip.arcTo(QRectF(top.x(), top.y(), w, w), 180, -180);
    clip.lineTo(top + QPointF(w, height - w * 0.35));
    clip.arcTo(QRectF(top.x() + w * 0.3, top.y() + height - w * 0.7, w * 0.7, w * 0.7), 0, -180);
    clip.lineTo(top + QPointF(w * 0.3, height * 0.3));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(c(tone::ink), line * 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(clip);
    p.setPen(QPen(wire, line * 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(clip);
}

void bin(QPainter& p, QColor fill, qreal line, qreal lidTilt, Expression expression) {
    QPainterPath body;
    body.moveTo(14, 26);
    body.lineTo(50, 26);
    body.lineTo(46, 58);
    body.quadTo(45.5, 61, 42, 61);
    body.lineTo(22, 61);
    body.quadTo(18.5, 61, 18, 58);
    body.closeSubpath();
    shape(p, body, fill, line);
    face(p, {32, 42}, 18, expression);
    p.save();
    p.translate(12, 24);
    p.rotate(-lidTilt);
    roundedBox(p, QRectF(-1, -6, 42, 7), 3, fill.darker(112), line);
    roundedBox(p, QRectF(15, -11, 10, 6), 2, fill.darker(112), line);
    p.restore();
}

void newMailIcon(QPainter& p, qreal line) {
    p.save();
    p.translate(30, 34);
    p.rotate(-8);
    roundedBox(p, QRectF(-20, -26, 40, 52), 4, c(tone::paper), line);
    p.setPen(QPen(c(tone::blue), line * 0.9, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 4; ++i) {
        p.drawLine(QPointF(-13, -14 + i * 9), QPointF(i == 3 ? 2 : 13, -14 + i * 9));
    }
    p.restore();
    p.save();
    p.translate(46, 30);
    p.rotate(40);
    roundedBox(p, QRectF(-5, -22, 10, 34), 2, c(tone::yellow), line);
    roundedBox(p, QRectF(-5, -26, 10, 7), 2, c(tone::pink), line);
    QPainterPath tip;
    tip.moveTo(-5, 12);
    tip.lineTo(5, 12);
    tip.lineTo(0, 22);
    tip.closeSubpath();
    shape(p, tip, c(tone::cream), line);
    p.restore();
}

void receiveIcon(QPainter& p, qreal line) {
    envelope(p, QRectF(6, 28, 52, 32), c(tone::cream), line);
    arrow(p, {32, 4}, {32, 38}, 14, c(tone::leaf), line);
}

void addressBookIcon(QPainter& p, qreal line) {
    roundedBox(p, QRectF(12, 4, 44, 56), 5, c(tone::orange), line);
    roundedBox(p, QRectF(20, 10, 30, 44), 3, c(tone::paper), line);
    ellipse(p, {35, 24}, 7, 7, c(tone::skin), line);
    QPainterPath shoulders;
    shoulders.moveTo(23, 46);
    shoulders.cubicTo(23, 30, 47, 30, 47, 46);
    shoulders.closeSubpath();
    shape(p, shoulders, c(tone::blue), line);
    for (int y : {14, 30, 46}) {
        roundedBox(p, QRectF(6, y, 12, 6), 3, c(tone::grey), line);
    }
}

void receivedHistoryIcon(QPainter& p, qreal line) {
    p.save();
    p.translate(32, 24);
    p.rotate(-10);
    envelope(p, QRectF(-20, -18, 40, 26), c(tone::pink), line);
    p.restore();
    envelope(p, QRectF(12, 20, 40, 26), c(tone::cream), line);
    tray(p, c(tone::blue), line);
}

void sentHistoryIcon(QPainter& p, qreal line) {
    QPainterPath plane;
    plane.moveTo(6, 22);
    plane.lineTo(58, 4);
    plane.lineTo(40, 36);
    plane.lineTo(30, 26);
    plane.closeSubpath();
    shape(p, plane, c(tone::paper), line);
    QPainterPath fold;
    fold.moveTo(30, 26);
    fold.lineTo(58, 4);
    fold.lineTo(28, 34);
    fold.closeSubpath();
    shape(p, fold, c(tone::sky), line);
    tray(p, c(tone::pink), line);
}

void guardIcon(QPainter& p, qreal line) {
    QPainterPath shield;
    shield.moveTo(32, 3);
    shield.cubicTo(42, 9, 50, 10, 56, 10);
    shield.cubicTo(57, 36, 48, 52, 32, 61);
    shield.cubicTo(16, 52, 7, 36, 8, 10);
    shield.cubicTo(14, 10, 22, 9, 32, 3);
    shield.closeSubpath();
    shape(p, shield, c(tone::leaf), line);
    paperclip(p, {26, 14}, 36, c(tone::white), line);
}

void deleteButton(QPainter& p, qreal line) {
    p.save();
    p.translate(40, 10);
    p.rotate(14);
    envelope(p, QRectF(-10, -7, 20, 14), c(tone::cream), line * 0.8);
    p.restore();
    bin(p, c(tone::mint), line, 28, Expression::Smile);
}

void deleteAllButton(QPainter& p, qreal line) {
    const QRgb colours[] = {tone::pink, tone::cream, tone::sky};
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(16.0 + i * 16, 15.0 - (i % 2) * 6);
        p.rotate(-15 + i * 15);
        envelope(p, QRectF(-9, -6, 18, 12), c(colours[i]), line * 0.8);
        p.restore();
    }
    bin(p, c(tone::lavender), line, 0, Expression::Surprised);
}

void replyButton(QPainter& p, qreal line) {
    envelope(p, QRectF(4, 18, 46, 34), c(tone::cream), line);
    face(p, {27, 45}, 14, Expression::Smile);
    QPainterPath curve;
    curve.moveTo(52, 46);
    curve.cubicTo(64, 30, 58, 10, 42, 10);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(c(tone::ink), line * 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(curve);
    p.setPen(QPen(c(tone::orange), line * 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(curve);
    QPainterPath head;
    head.moveTo(44, 1);
    head.lineTo(30, 10);
    head.lineTo(44, 19);
    head.closeSubpath();
    shape(p, head, c(tone::orange), line);
}

void addToAddressBookButton(QPainter& p, qreal line) {
    roundedBox(p, QRectF(8, 6, 40, 54), 5, c(tone::orange), line);
    roundedBox(p, QRectF(14, 12, 30, 42), 3, c(tone::paper), line);
    face(p, {29, 33}, 16, Expression::Smile);
    ellipse(p, {48, 48}, 12, 12, c(tone::leaf), line);
    p.setPen(QPen(c(tone::white), line * 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(48, 42), QPointF(48, 54));
    p.drawLine(QPointF(42, 48), QPointF(54, 48));
}

void deletedButton(QPainter& p, qreal line) {
    bin(p, c(tone::mint), line, 0, Expression::Happy);
    star(p, {10, 12}, 6, c(tone::yellow), line * 0.8);
    star(p, {54, 10}, 5, c(tone::yellow), line * 0.8);
    star(p, {56, 30}, 3.5, c(tone::yellow), line * 0.6);
}

void sendButton(QPainter& p, qreal line) {
    for (qreal side : {-1.0, 1.0}) {
        const QPointF root(side < 0 ? 16 : 48, 30);
        QPainterPath wing;
        wing.moveTo(root);
        wing.cubicTo(root + QPointF(side * 6, -18), root + QPointF(side * 14, -16),
                     root + QPointF(side * 15, -10));
        wing.cubicTo(root + QPointF(side * 10, -6), root + QPointF(side * 10, 0),
                     root + QPointF(0, 6));
        wing.closeSubpath();
        shape(p, wing, c(tone::white), line);
    }
    envelope(p, QRectF(12, 22, 40, 30), c(tone::cream), line);
    face(p, {32, 45}, 12, Expression::Happy);
    p.setPen(QPen(c(tone::blue), line, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        p.drawLine(QPointF(4, 46.0 + i * 6), QPointF(10, 46.0 + i * 6));
    }
}

void cancelButton(QPainter& p, qreal line) {
    envelope(p, QRectF(4, 20, 44, 32), c(tone::cream), line);
    face(p, {26, 45}, 12, Expression::Worried);
    ellipse(p, {46, 18}, 14, 14, c(tone::red), line);
    p.setPen(QPen(c(tone::white), line * 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(40, 12), QPointF(52, 24));
    p.drawLine(QPointF(52, 12), QPointF(40, 24));
}

}  // namespace

QList<QImage> mainButtonIcon(MainButton button) {
    const Drawing drawings[] = {newMailIcon,         receiveIcon,     addressBookIcon,
                                receivedHistoryIcon, sentHistoryIcon, guardIcon};
    QList<QImage> images;
    for (int side : sizes::iconSides) {
        images << render(side, drawings[static_cast<int>(button)]);
    }
    return images;
}

QImage historyButton(HistoryButton button) {
    const Drawing drawings[] = {deleteButton, deleteAllButton, replyButton, addToAddressBookButton,
                                deletedButton};
    return render(sizes::historyButton.width(), drawings[static_cast<int>(button)]);
}

QImage composeButton(ComposeButton button) {
    return render(sizes::composeButton.width(),
                  button == ComposeButton::Send ? Drawing(sendButton) : Drawing(cancelButton));
}
