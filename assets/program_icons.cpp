#include "program_icons.h"

#include "drawing.h"

using namespace art;

namespace {

using Drawing = GridDrawing;

// Designed on the buttons' grid, with a finer outline: icons are seen small.
QImage render(int side, const Drawing& draw) {
    return renderOnGrid(side, 1.6, draw);
}

void quill(QPainter& p, qreal line) {
    QPainterPath feather;
    feather.moveTo(30, 50);
    feather.cubicTo(34, 30, 46, 10, 60, 4);
    feather.cubicTo(58, 20, 48, 38, 30, 50);
    feather.closeSubpath();
    shape(p, feather, QColor(tone::lavender), line);
    limb(p, QPointF(31, 49), QPointF(24, 58), 2.5, QColor(tone::darkBrown), line * 0.6);
}

void quillpost(QPainter& p, qreal line) {
    envelope(p, QRectF(4, 18, 48, 36), QColor(tone::paper), line);
    heart(p, QPointF(28, 42), 9, QColor(tone::pink), line);
    quill(p, line);
}

void notepane(QPainter& p, qreal line) {
    roundedBox(p, QRectF(10, 4, 40, 54), 5, QColor(tone::paper), line);
    p.setPen(QPen(QColor(tone::blue), line * 1.2, Qt::SolidLine, Qt::RoundCap));
    for (qreal y = 16; y <= 46; y += 8) {
        p.drawLine(QPointF(17, y), QPointF(43, y));
    }
    limb(p, QPointF(58, 22), QPointF(34, 54), 7, QColor(tone::yellow), line);
    ellipse(p, QPointF(34, 54), 2.5, 2.5, QColor(tone::ink), line * 0.5);
}

void holdfast(QPainter& p, qreal line) {
    QPainterPath shield;
    shield.moveTo(32, 4);
    shield.cubicTo(42, 10, 50, 11, 56, 11);
    shield.cubicTo(56, 36, 48, 52, 32, 60);
    shield.cubicTo(16, 52, 8, 36, 8, 11);
    shield.cubicTo(14, 11, 22, 10, 32, 4);
    shield.closeSubpath();
    shape(p, shield, QColor(tone::mint), line);
    star(p, QPointF(32, 30), 13, QColor(tone::yellow), line);
}

void arcopen(QPainter& p, qreal line) {
    roundedBox(p, QRectF(6, 22, 52, 36), 4, QColor(tone::orange), line);
    QPainterPath lid;
    lid.moveTo(4, 24);
    lid.lineTo(16, 8);
    lid.lineTo(48, 8);
    lid.lineTo(60, 24);
    lid.closeSubpath();
    shape(p, lid, QColor(tone::cream), line);
    roundedBox(p, QRectF(28, 22, 8, 36), 1, QColor(tone::red), line);
    ellipse(p, QPointF(32, 30), 5, 3, QColor(tone::red), line);
}

}  // namespace

QList<ProgramIcon> programIcons(int side) {
    return {{QStringLiteral("quillpost"), render(side, quillpost)},
            {QStringLiteral("quillpost-notepane"), render(side, notepane)},
            {QStringLiteral("quillpost-holdfast"), render(side, holdfast)},
            {QStringLiteral("quillpost-arcopen"), render(side, arcopen)}};
}
