#include "scenes.h"

#include "drawing.h"
#include "sizes.h"

#include <cmath>
#include <functional>

using namespace art;

namespace {

constexpr qreal W = sizes::mainPicture.width();
constexpr qreal H = sizes::mainPicture.height();
const QRectF kArea(0, 0, W, H);

QColor c(QRgb rgb) {
    return QColor(rgb);
}

void outdoors(QPainter& p, QColor skyTop, QColor skyBottom, qreal ground, QColor land) {
    verticalGradient(p, kArea, skyTop, skyBottom);
    hill(p, kArea, ground, 14, land);
}

void family(QPainter& p) {
    outdoors(p, c(0xff9fd8ff), c(0xffe4f5ff), 150, c(tone::grass));
    sun(p, {262, 42}, 20);
    cloud(p, {70, 40}, 60);
    cloud(p, {175, 28}, 44);
    house(p, QRectF(18, 104, 64, 52), c(tone::cream), c(tone::red), false);
    tree(p, {282, 170}, 80, c(tone::leaf));
    Person dad{c(tone::blue), c(0xff5a3d2b), c(0xff6d7fa8)};
    dad.leftArm = 15;
    dad.rightArm = 35;
    Person mum{c(tone::pink), c(0xff8a5a3c), c(0xff9a86c8)};
    mum.longHair = true;
    mum.leftArm = 35;
    Person kid{c(tone::yellow), c(0xff6b4530), c(tone::blue)};
    kid.child = true;
    kid.leftArm = 60;
    kid.rightArm = 60;
    kid.expression = Expression::Happy;
    person(p, {120, 200}, 105, dad);
    person(p, {212, 200}, 98, mum);
    person(p, {166, 204}, 64, kid);
    dog(p, {250, 208}, 44, c(0xffe8c08a), true);
    for (qreal x : {24.0, 52.0, 88.0}) {
        flower(p, {x, 214}, 18, c(x > 50 ? tone::pink : tone::lavender));
    }
}

void balloonChild(QPainter& p) {
    outdoors(p, c(0xffb9e4ff), c(0xfffdf3e3), 160, c(tone::grass));
    const QRectF bow(40, 40, 230, 230);
    const QRgb bands[] = {tone::red,  tone::orange, tone::yellow,
                          tone::leaf, tone::blue,   tone::lavender};
    for (int i = 0; i < 6; ++i) {
        QColor band(bands[i]);
        band.setAlpha(120);
        p.setPen(QPen(band, 7, Qt::SolidLine, Qt::FlatCap));
        p.setBrush(Qt::NoBrush);
        const qreal inset = i * 7.0;
        p.drawArc(bow.adjusted(inset, inset, -inset, -inset), 0, 180 * 16);
    }
    cloud(p, {48, 140}, 50);
    cloud(p, {262, 140}, 50);
    Person girl{c(tone::pink), c(0xff6b4530), c(0xffff9fb2)};
    girl.child = true;
    girl.longHair = true;
    girl.rightArm = 150;
    girl.expression = Expression::Happy;
    const Hands hands = person(p, {150, 205}, 100, girl);
    balloon(p, {185, 45}, 22, c(tone::red), hands.right);
    balloon(p, {215, 70}, 17, c(tone::yellow), hands.right);
    balloon(p, {158, 62}, 15, c(tone::blue), hands.right);
    for (int i = 0; i < 7; ++i) {
        flower(p, {18.0 + i * 15.0 + (i > 3 ? 150 : 0), 215.0 - (i % 2) * 6}, 22,
               c(i % 3 == 0 ? tone::red : (i % 3 == 1 ? tone::yellow : tone::lavender)));
    }
}

void dogAndBall(QPainter& p) {
    outdoors(p, c(0xff9fd8ff), c(0xffe9f7ff), 165, c(tone::grass));
    sun(p, {40, 40}, 17);
    cloud(p, {200, 38}, 64);
    p.setPen(QPen(c(tone::ink), 1.5));
    for (int x = 6; x < 305; x += 26) {
        roundedBox(p, QRectF(x, 122, 14, 52), 6, c(tone::cream), 1.5);
    }
    roundedBox(p, QRectF(-4, 136, 313, 8), 4, c(tone::cream), 1.5);
    hill(p, kArea, 168, 6, c(tone::grass));
    tree(p, {265, 190}, 110, c(tone::leaf));
    p.save();
    p.translate(120, 182);
    p.rotate(-18);
    dog(p, {0, 0}, 110, c(0xfff0c896));
    p.restore();
    ellipse(p, {220, 74}, 15, 15, c(tone::red), 2);
    p.setPen(QPen(c(tone::white), 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(207, 61, 26, 26), 30 * 16, 120 * 16);
    p.setPen(QPen(c(tone::ink), 1.5, Qt::DashLine, Qt::RoundCap));
    p.drawArc(QRectF(150, 60, 80, 60), 40 * 16, 80 * 16);
}

void sleepingCatByWindow(QPainter& p) {
    verticalGradient(p, kArea, c(0xfffff0dc), c(0xffffe2c4));
    roundedBox(p, QRectF(80, 18, 150, 112), 10, c(0xffbfe6ff), 2);
    cloud(p, {130, 60}, 46);
    sun(p, {195, 50}, 13);
    p.setPen(QPen(c(tone::ink), 2));
    p.drawLine(QPointF(155, 18), QPointF(155, 130));
    p.drawLine(QPointF(80, 74), QPointF(230, 74));
    for (qreal side : {-1.0, 1.0}) {
        QPainterPath curtain;
        const qreal x = side < 0 ? 70 : 240;
        curtain.moveTo(x, 10);
        curtain.lineTo(x - side * 40, 10);
        curtain.quadTo(x - side * 10, 70, x - side * 22, 140);
        curtain.lineTo(x, 140);
        curtain.closeSubpath();
        shape(p, curtain, c(tone::pink), 2);
    }
    roundedBox(p, QRectF(-6, 150, 317, 80), 4, c(0xffdcb48c), 2);
    roundedBox(p, QRectF(70, 150, 170, 40), 18, c(tone::lavender), 2);
    sleepingCat(p, {160, 168}, 120, c(tone::orange));
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(16);
    font.setBold(true);
    p.setFont(font);
    p.setPen(c(tone::ink));
    p.drawText(QPointF(222, 126), QStringLiteral("z"));
    p.drawText(QPointF(234, 112), QStringLiteral("Z"));
    flower(p, {30, 150}, 40, c(tone::red));
    roundedBox(p, QRectF(18, 128, 24, 24), 4, c(tone::brown), 2);
    ellipse(p, {270, 205}, 12, 12, c(tone::sky), 2);
}

void picnic(QPainter& p) {
    outdoors(p, c(0xffa9dcff), c(0xfff0fbff), 120, c(tone::grass));
    cloud(p, {250, 36}, 56);
    tree(p, {62, 150}, 140, c(tone::leaf));
    QPainterPath blanket;
    blanket.moveTo(95, 170);
    blanket.lineTo(285, 160);
    blanket.lineTo(300, 215);
    blanket.lineTo(80, 222);
    blanket.closeSubpath();
    shape(p, blanket, c(tone::red), 2);
    p.save();
    p.setClipPath(blanket);
    p.setPen(QPen(QColor(255, 255, 255, 160), 5));
    for (int i = 1; i < 5; ++i) {
        p.drawLine(QPointF(95 + i * 38, 170 - i * 2), QPointF(80 + i * 44, 222));
    }
    p.restore();
    shape(p, blanket, Qt::transparent, 2);
    roundedBox(p, QRectF(215, 165, 46, 30), 8, c(tone::brown), 2);
    p.setPen(QPen(c(tone::ink), 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(222, 150, 32, 30), 0, 180 * 16);
    for (int i = 0; i < 3; ++i) {
        ellipse(p, {128.0 + i * 16, 205}, 7, 5, c(i == 1 ? tone::yellow : tone::orange), 1.5);
    }
    Person mum{c(tone::mint), c(0xff7a4a30), c(0xff86a0d8)};
    mum.longHair = true;
    mum.rightArm = 70;
    Person kid{c(tone::orange), c(0xff4a3228), c(tone::blue)};
    kid.child = true;
    kid.leftArm = 120;
    kid.rightArm = 120;
    kid.expression = Expression::Happy;
    person(p, {160, 192}, 88, mum);
    person(p, {200, 196}, 58, kid);
    sittingCat(p, {270, 210}, 40, c(tone::grey));
}

void sunsetWalk(QPainter& p) {
    verticalGradient(p, kArea, c(0xffffc58f), c(0xfffff0c8));
    ellipse(p, {230, 120}, 38, 38, c(0xffffe08a), 0);
    sun(p, {230, 120}, 26);
    hill(p, kArea, 142, 10, c(0xffc7dd8c));
    hill(p, kArea, 168, -8, c(0xffa8d08a));
    tree(p, {36, 176}, 90, c(0xff9cc97c));
    Person boy{c(tone::blue), c(0xff4a3228), c(0xff6d7fa8)};
    boy.child = true;
    boy.rightArm = 55;
    const Hands hands = person(p, {140, 210}, 80, boy);
    dog(p, {215, 212}, 62, c(0xffe8c08a));
    p.setPen(QPen(c(tone::red), 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath lead;
    lead.moveTo(hands.right);
    lead.quadTo(QPointF(185, 178), QPointF(231, 176));
    p.drawPath(lead);
    for (int i = 0; i < 3; ++i) {
        QPainterPath bird;
        const QPointF at(60.0 + i * 22, 40.0 + (i % 2) * 10);
        bird.moveTo(at);
        bird.quadTo(at + QPointF(5, -5), at + QPointF(9, 0));
        bird.quadTo(at + QPointF(13, -5), at + QPointF(18, 0));
        p.setPen(QPen(c(tone::ink), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(bird);
    }
}

void snowman(QPainter& p) {
    verticalGradient(p, kArea, c(0xffc5dcf5), c(0xffeef6ff));
    p.setPen(Qt::NoPen);
    p.setBrush(c(tone::white));
    for (int i = 0; i < 28; ++i) {
        const qreal x = (i * 97) % 300 + 3;
        const qreal y = (i * 53) % 140 + 6;
        p.drawEllipse(QPointF(x, y), 2.5, 2.5);
    }
    hill(p, kArea, 150, 12, c(tone::white));
    house(p, QRectF(232, 98, 58, 52), c(tone::cream), c(tone::blue), true);
    ellipse(p, {150, 176}, 34, 30, c(tone::white), 2);
    ellipse(p, {150, 128}, 25, 23, c(tone::white), 2);
    face(p, {150, 128}, 26, Expression::Happy);
    roundedBox(p, QRectF(132, 92, 36, 12), 4, c(tone::red), 2);
    roundedBox(p, QRectF(140, 74, 20, 22), 4, c(tone::red), 2);
    limb(p, {126, 168}, {104, 150}, 3, c(tone::brown), 1);
    limb(p, {174, 168}, {196, 150}, 3, c(tone::brown), 1);
    Person a{c(tone::red), c(0xff4a3228), c(0xff6d7fa8)};
    a.child = true;
    a.rightArm = 80;
    a.expression = Expression::Happy;
    Person b{c(tone::leaf), c(0xff7a4a30), c(tone::lavender)};
    b.child = true;
    b.longHair = true;
    b.leftArm = 80;
    person(p, {82, 212}, 70, a);
    person(p, {218, 214}, 66, b);
}

void birthday(QPainter& p) {
    verticalGradient(p, kArea, c(0xfffbe3ef), c(0xfffff4e0));
    p.setPen(QPen(c(tone::ink), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(-20, -30, 345, 70), 180 * 16, 180 * 16);
    const QRgb flags[] = {tone::red,  tone::yellow,   tone::blue,
                          tone::leaf, tone::lavender, tone::orange};
    for (int i = 0; i < 9; ++i) {
        const qreal x = 20.0 + i * 33;
        const qreal y = 5 + 30 * std::sin(3.14159 * (x + 20) / 345);
        QPainterPath flag;
        flag.moveTo(x - 9, y);
        flag.lineTo(x + 9, y);
        flag.lineTo(x, y + 17);
        flag.closeSubpath();
        shape(p, flag, c(flags[i % 6]), 1.5);
    }
    roundedBox(p, QRectF(-6, 180, 317, 50), 4, c(0xffe0c09c), 2);
    balloon(p, {38, 80}, 20, c(tone::blue), {48, 180});
    balloon(p, {270, 78}, 20, c(tone::pink), {262, 180});
    Person kid{c(tone::yellow), c(0xff4a3228), c(tone::blue)};
    kid.child = true;
    kid.leftArm = 140;
    kid.rightArm = 140;
    kid.expression = Expression::Happy;
    person(p, {98, 205}, 92, kid);
    QPainterPath hat;
    hat.moveTo(84, 124);
    hat.lineTo(98, 94);
    hat.lineTo(112, 124);
    hat.closeSubpath();
    shape(p, hat, c(tone::lavender), 1.5);
    star(p, {98, 94}, 5, c(tone::yellow), 1);
    roundedBox(p, QRectF(150, 150, 100, 40), 10, c(tone::cream), 2);
    roundedBox(p, QRectF(160, 124, 80, 32), 9, c(tone::pink), 2);
    for (int i = 0; i < 4; ++i) {
        const qreal x = 172.0 + i * 19;
        roundedBox(p, QRectF(x - 2.5, 104, 5, 20), 2, c(i % 2 ? tone::blue : tone::leaf), 1);
        heart(p, {x, 96}, 7, c(tone::orange), 1);
        ellipse(p, {x, 140}, 4, 4, c(tone::red), 1);
    }
    roundedBox(p, QRectF(140, 188, 120, 8), 4, c(tone::white), 2);
}

void beach(QPainter& p) {
    verticalGradient(p, kArea, c(0xff8fd3ff), c(0xffd9f3ff));
    sun(p, {250, 40}, 18);
    cloud(p, {80, 36}, 52);
    QPainterPath sea;
    sea.addRect(QRectF(-2, 112, 309, 60));
    shape(p, sea, c(0xff7cc4ea), 0);
    p.setPen(QPen(c(tone::white), 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 8; ++i) {
        p.drawArc(QRectF(10.0 + i * 38, 122.0 + (i % 2) * 14, 20, 8), 0, 180 * 16);
    }
    hill(p, kArea, 160, 6, c(0xfff5dfa8));
    QPainterPath castle;
    castle.addRect(QRectF(196, 172, 60, 28));
    castle.addRect(QRectF(212, 150, 28, 24));
    for (qreal x : {196.0, 246.0}) {
        castle.addRect(QRectF(x, 165, 10, 8));
    }
    for (qreal x : {212.0, 222.0, 232.0}) {
        castle.addRect(QRectF(x, 144, 8, 7));
    }
    castle.setFillRule(Qt::WindingFill);
    shape(p, castle.simplified(), c(0xffe8c98a), 1.8);
    QPainterPath gate;
    gate.moveTo(219, 200);
    gate.lineTo(219, 188);
    gate.arcTo(QRectF(219, 181, 14, 14), 180, -180);
    gate.lineTo(233, 200);
    shape(p, gate, c(0xffc9a46a), 1.5);
    limb(p, {226, 144}, {226, 128}, 1.5, c(tone::ink), 0);
    QPainterPath pennant;
    pennant.moveTo(226, 128);
    pennant.lineTo(240, 132);
    pennant.lineTo(226, 136);
    pennant.closeSubpath();
    shape(p, pennant, c(tone::red), 1.3);
    Person kid{c(tone::red), c(0xff4a3228), c(tone::yellow)};
    kid.child = true;
    kid.rightArm = 45;
    kid.expression = Expression::Happy;
    const Hands hands = person(p, {120, 208}, 82, kid);
    QPainterPath bucket;
    bucket.moveTo(hands.right + QPointF(-9, 4));
    bucket.lineTo(hands.right + QPointF(9, 4));
    bucket.lineTo(hands.right + QPointF(7, 22));
    bucket.lineTo(hands.right + QPointF(-7, 22));
    bucket.closeSubpath();
    shape(p, bucket, c(tone::blue), 1.6);
    star(p, {40, 200}, 11, c(tone::orange), 1.6);
    ellipse(p, {275, 212}, 10, 6, c(tone::pink), 1.6);
}

void night(QPainter& p) {
    verticalGradient(p, kArea, c(0xff3f4d86), c(0xff8f8fc4));
    for (int i = 0; i < 16; ++i) {
        const QPointF at((i * 83) % 290 + 8, (i * 37) % 100 + 8);
        star(p, at, i % 3 == 0 ? 6 : 3.5, c(tone::yellow), i % 3 == 0 ? 1 : 0);
    }
    QPainterPath moon;
    moon.addEllipse(QPointF(250, 44), 24, 24);
    QPainterPath bite;
    bite.addEllipse(QPointF(262, 36), 20, 20);
    shape(p, moon.subtracted(bite), c(0xfffff0a8), 1.8);
    hill(p, kArea, 180, 8, c(0xff7fae7a));
    house(p, QRectF(95, 110, 115, 80), c(tone::cream), c(tone::red), true);
    sittingCat(p, {166, 72}, 34, c(tone::darkBrown), true);
    tree(p, {40, 196}, 100, c(0xff6fa872));
    tree(p, {262, 200}, 80, c(0xff6fa872));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 230, 140, 70));
    p.drawEllipse(QPointF(125, 141), 30, 26);
}

}  // namespace

QImage backgroundScene(int number) {
    const std::function<void(QPainter&)> scenes[] = {
        family,   balloonChild, dogAndBall, sleepingCatByWindow, picnic, sunsetWalk, snowman,
        birthday, beach,        night};
    QImage image(sizes::mainPicture, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    scenes[(number - 1) % 10](p);
    p.setPen(QPen(QColor(tone::ink), 3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(kArea.adjusted(1.5, 1.5, -1.5, -1.5));
    return image;
}
