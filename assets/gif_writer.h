#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>

#include <optional>

// What becomes of the pixels less than half covered when a matte is given.
enum class ClearPixels {
    Transparent,  // the GIF's transparent colour
    Matte,        // exactly the matte colour, opaque
};

// Encodes a picture as a GIF89a. With a matte (the colour the picture will sit on), pixels
// at least half covered are flattened onto it and the rest are written as `clear` says;
// without one the picture is written opaque. At most 256 colours: exact when the picture
// has that few, otherwise reduced by median cut. Returns an empty array on failure.
QByteArray encodeGif(const QImage& image, std::optional<QColor> matte = std::nullopt,
                     ClearPixels clear = ClearPixels::Transparent);
