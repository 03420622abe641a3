#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

#include <functional>

// The house style shared by every picture: soft fills inside one warm outline colour,
// rounded shapes, faces drawn the same way on people, animals and button characters.
namespace art {

namespace tone {
inline constexpr QRgb ink = 0xff5b453a;
inline constexpr QRgb paper = 0xfffffaf0;
inline constexpr QRgb cream = 0xfffff1d6;
inline constexpr QRgb skin = 0xffffdcbc;
inline constexpr QRgb blush = 0xfff7a0a0;
inline constexpr QRgb pink = 0xfff7a8bf;
inline constexpr QRgb red = 0xfff27878;
inline constexpr QRgb orange = 0xffffb86c;
inline constexpr QRgb yellow = 0xffffdf7e;
inline constexpr QRgb leaf = 0xff8fd18a;
inline constexpr QRgb grass = 0xffa8dd8c;
inline constexpr QRgb mint = 0xffa6e3cf;
inline constexpr QRgb sky = 0xffbfe6ff;
inline constexpr QRgb blue = 0xff86bdf0;
inline constexpr QRgb lavender = 0xffcbb8f0;
inline constexpr QRgb brown = 0xffb58463;
inline constexpr QRgb darkBrown = 0xff7a5238;
inline constexpr QRgb grey = 0xffd9d4cf;
inline constexpr QRgb white = 0xffffffff;
}  // namespace tone

enum class Expression { Smile, Happy, Sleepy, Surprised, Worried };

// Fills a path and draws the outline over it.
void shape(QPainter& p, const QPainterPath& path, QColor fill, qreal line);
void ellipse(QPainter& p, QPointF centre, qreal rx, qreal ry, QColor fill, qreal line);
void roundedBox(QPainter& p, const QRectF& box, qreal radius, QColor fill, qreal line);
// A thick stroke with an outline and round ends: arms, legs, tails, strings.
void limb(QPainter& p, QPointF from, QPointF to, qreal width, QColor fill, qreal line);
void face(QPainter& p, QPointF centre, qreal size, Expression expression);

struct Person {
    QColor shirt;
    QColor hair;
    QColor trousers;
    bool child = false;
    bool longHair = false;
    // Arm angles in degrees from hanging straight down; positive lifts the arm outward.
    qreal leftArm = 20;
    qreal rightArm = 20;
    Expression expression = Expression::Smile;
};
struct Hands {
    QPointF left;
    QPointF right;
};
// Draws a person standing with the feet at `feet`; returns where the hands are.
Hands person(QPainter& p, QPointF feet, qreal height, const Person& look);

// Animals stand or lie on `base` (the middle of the ground line) and face right unless
// mirrored. `size` is roughly the width of the animal.
void dog(QPainter& p, QPointF base, qreal size, QColor coat, bool mirrored = false);
void sittingCat(QPainter& p, QPointF base, qreal size, QColor coat, bool mirrored = false);
void sleepingCat(QPainter& p, QPointF base, qreal size, QColor coat);

void tree(QPainter& p, QPointF base, qreal height, QColor foliage);
void house(QPainter& p, const QRectF& walls, QColor wall, QColor roof, bool lit);
void sun(QPainter& p, QPointF centre, qreal radius);
void cloud(QPainter& p, QPointF centre, qreal width);
void flower(QPainter& p, QPointF base, qreal height, QColor petals);
void heart(QPainter& p, QPointF centre, qreal size, QColor fill, qreal line);
void star(QPainter& p, QPointF centre, qreal radius, QColor fill, qreal line);
void balloon(QPainter& p, QPointF centre, qreal radius, QColor fill, QPointF stringEnd);
// A closed envelope filling `box`.
void envelope(QPainter& p, const QRectF& box, QColor fill, qreal line);

// Backgrounds of the scenes.
void verticalGradient(QPainter& p, const QRectF& area, QColor top, QColor bottom);
void hill(QPainter& p, const QRectF& area, qreal crest, qreal wave, QColor fill);

// Lettering in the installed IPA gothic, centred in `box`, with a soft outline.
void caption(QPainter& p, const QRectF& box, const QString& text, qreal pixelSize, QColor fill);

// A picture designed on a 64 × 64 grid, scaled to `side`; `draw` gets the outline width,
// at least `minimumLine` grid units so that a small side still shows a pixel-wide outline.
using GridDrawing = std::function<void(QPainter&, qreal line)>;
QImage renderOnGrid(int side, qreal minimumLine, const GridDrawing& draw);

}  // namespace art
