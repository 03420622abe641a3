#pragma once

#include <QColor>
#include <QImage>
#include <QSize>

// The floating picture's animation: a background, then one 70 × 80 frame of a six-frame
// strip laid over it through its mask (OR with the mask, AND with the strip).
constexpr int kAnimationFrameWidth = 70;
constexpr int kAnimationFrameHeight = 80;
constexpr int kAnimationFrameTop = 15;
constexpr int kAnimationStripWidth = 6 * kAnimationFrameWidth;
constexpr QSize kAnimationBackgroundSize{97, 138};

// The picture of size `size` showing the frame at column `x`. It is plain `blank` when any of
// the three pictures is missing.
QImage composeAnimationFrame(const QImage& background, const QImage& mask, const QImage& strip,
                             int x, QSize size, const QColor& blank);

// The column of the frame after the one at `x`: 0, 70, … 350, then 0 again.
int nextAnimationColumn(int x);
