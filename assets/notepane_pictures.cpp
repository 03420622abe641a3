#include "notepane_pictures.h"

#include "drawing.h"
#include "sizes.h"

#include <cmath>

using namespace art;

namespace {

QColor c(QRgb rgb) {
    return QColor(rgb);
}

struct Pose {
    qreal lift;      // how far the chick is off the ground
    qreal squash;    // 1 = round, below 1 = pressed flat on landing
    qreal wingLift;  // degrees the wings are raised
    Expression expression;
};

// A hop: crouch, rise, top with wings up, fall, land.
constexpr Pose kPoses[sizes::notepaneFrames] = {
    {0, 0.86, 0, Expression::Happy},   {7, 1.04, 30, Expression::Smile},
    {13, 1.06, 60, Expression::Smile}, {15, 1.0, 70, Expression::Happy},
    {10, 1.02, 35, Expression::Smile}, {3, 0.96, 10, Expression::Smile},
};

void chick(QPainter& p, const Pose& pose) {
    const qreal line = 1.6;
    const qreal ground = sizes::notepaneFrame.height() - 3;
    const qreal rx = 20 / std::sqrt(pose.squash);
    const qreal ry = 21 * pose.squash;
    const QPointF centre(35, ground - pose.lift - ry - 5);
    for (qreal side : {-1.0, 1.0}) {
        limb(p, centre + QPointF(side * 7, ry - 2), centre + QPointF(side * 8, ry + 4), 3,
             c(tone::orange), 1.2);
    }
    for (qreal side : {-1.0, 1.0}) {
        p.save();
        p.translate(centre + QPointF(side * (rx - 5), 2));
        p.rotate(-side * (20 + pose.wingLift));
        ellipse(p, QPointF(side * 6, 0), 8, 5, c(0xfff7cc55), line);
        p.restore();
    }
    ellipse(p, centre, rx, ry, c(tone::yellow), line);
    face(p, centre + QPointF(0, -3), 16, pose.expression);
    QPainterPath beak;
    beak.moveTo(centre + QPointF(-3.5, 1));
    beak.lineTo(centre + QPointF(3.5, 1));
    beak.lineTo(centre + QPointF(0, 5));
    beak.closeSubpath();
    shape(p, beak, c(tone::orange), 1.2);
    // A postman's cap and a letter: the editor's mascot delivers the mail text.
    QPainterPath cap;
    cap.moveTo(centre + QPointF(-12, -ry + 6));
    cap.cubicTo(centre + QPointF(-12, -ry - 6), centre + QPointF(12, -ry - 6),
                centre + QPointF(12, -ry + 6));
    cap.closeSubpath();
    shape(p, cap, c(tone::red), line);
    roundedBox(p, QRectF(centre.x() - 2, centre.y() - ry + 4, 18, 4), 2, c(0xffc65a5a), 1.2);
    p.save();
    p.translate(centre + QPointF(-12, ry * 0.45));
    p.rotate(-12);
    envelope(p, QRectF(-9, -6, 18, 12), c(tone::white), 1.3);
    p.restore();
}

}  // namespace

QImage notepaneBackground() {
    QImage image(sizes::notepaneBack, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area(QPointF(0, 0), QSizeF(sizes::notepaneBack));
    verticalGradient(p, area, c(0xffbfe6ff), c(0xfff2fbff));
    cloud(p, {22, 16}, 26);
    cloud(p, {78, 40}, 22);
    hill(p, area, 90, 3, c(tone::grass));
    flower(p, {8, 104}, 12, c(tone::pink));
    flower(p, {63, 106}, 10, c(tone::lavender));
    flower(p, {84, 100}, 14, c(tone::red));
    flower(p, {30, 126}, 12, c(tone::yellow));
    flower(p, {72, 130}, 12, c(tone::pink));
    return image;
}

NotepaneAnimation notepaneAnimation() {
    const QSize frame = sizes::notepaneFrame;
    const QSize whole(frame.width() * sizes::notepaneFrames, frame.height());
    QImage drawn(whole, QImage::Format_ARGB32);
    drawn.fill(Qt::transparent);
    {
        QPainter p(&drawn);
        p.setRenderHint(QPainter::Antialiasing);
        for (int i = 0; i < sizes::notepaneFrames; ++i) {
            p.save();
            p.translate(i * frame.width(), 0);
            p.setClipRect(QRect(QPoint(0, 0), frame));
            chick(p, kPoses[i]);
            p.restore();
        }
    }
    // The raster operations know no partial cover: each pixel is either the character's
    // own colour or the background.
    NotepaneAnimation animation{QImage(whole, QImage::Format_ARGB32),
                                QImage(whole, QImage::Format_RGB32)};
    for (int y = 0; y < whole.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
        auto* strip = reinterpret_cast<QRgb*>(animation.strip.scanLine(y));
        auto* mask = reinterpret_cast<QRgb*>(animation.mask.scanLine(y));
        for (int x = 0; x < whole.width(); ++x) {
            const bool inside = qAlpha(in[x]) >= 128;
            mask[x] = inside ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
            strip[x] = inside ? (in[x] | 0xff000000u) : qRgba(0, 0, 0, 0);
        }
    }
    return animation;
}
