#pragma once

#include <QColor>
#include <QRect>

// Window lengths are given in twips: 15 twips make one pixel at 96 dots per inch.
constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips) {
    return (twips >= 0 ? twips + kTwipsPerPixel / 2 : twips - kTwipsPerPixel / 2) / kTwipsPerPixel;
}

constexpr int pixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

// A rectangle given as left, top, width and height in twips.
QRect twipsRect(int left, int top, int width, int height);

// A colour number packs red + 256 × green + 65536 × blue.
constexpr int colorNumber(int red, int green, int blue) {
    return red + 256 * green + 65536 * blue;
}

QColor colorFromNumber(int number);

// Colours 0–15 of the classic 16-colour palette (0 black … 15 bright white).
QColor paletteColor(int index);
