#include "units.h"

#include <array>

QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

QColor colorFromNumber(int number) {
    return QColor(number & 0xFF, (number >> 8) & 0xFF, (number >> 16) & 0xFF);
}

QColor paletteColor(int index) {
    static constexpr std::array<int, 16> kPalette = {
        colorNumber(0, 0, 0),      colorNumber(0, 0, 128),     colorNumber(0, 128, 0),
        colorNumber(0, 128, 128),  colorNumber(128, 0, 0),     colorNumber(128, 0, 128),
        colorNumber(128, 128, 0),  colorNumber(192, 192, 192), colorNumber(128, 128, 128),
        colorNumber(0, 0, 255),    colorNumber(0, 255, 0),     colorNumber(0, 255, 255),
        colorNumber(255, 0, 0),    colorNumber(255, 0, 255),   colorNumber(255, 255, 0),
        colorNumber(255, 255, 255)};
    return colorFromNumber(kPalette[static_cast<size_t>(index & 15)]);
}
