#include "gif_writer.h"

#include <gif_lib.h>

#include <QHash>

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr int kPaletteSize = 256;
constexpr int kAlphaThreshold = 128;

struct IndexedPicture {
    std::vector<GifColorType> palette;
    std::vector<GifByteType> pixels;
    int transparentIndex = NO_TRANSPARENT_COLOR;
};

QRgb flatten(QRgb pixel, std::optional<QColor> matte) {
    if (!matte || qAlpha(pixel) == 255) {
        return qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel));
    }
    const int a = qAlpha(pixel);
    const auto mix = [a](int over, int under) { return (over * a + under * (255 - a)) / 255; };
    return qRgb(mix(qRed(pixel), matte->red()), mix(qGreen(pixel), matte->green()),
                mix(qBlue(pixel), matte->blue()));
}

bool indexExactly(const std::vector<QRgb>& rgb, int limit, IndexedPicture& out) {
    QHash<QRgb, GifByteType> indexOf;
    out.pixels.resize(rgb.size());
    for (size_t i = 0; i < rgb.size(); ++i) {
        auto found = indexOf.find(rgb[i]);
        if (found == indexOf.end()) {
            if (indexOf.size() == limit) {
                return false;
            }
            found = indexOf.insert(rgb[i], static_cast<GifByteType>(indexOf.size()));
            out.palette.push_back({static_cast<GifByteType>(qRed(rgb[i])),
                                   static_cast<GifByteType>(qGreen(rgb[i])),
                                   static_cast<GifByteType>(qBlue(rgb[i]))});
        }
        out.pixels[i] = found.value();
    }
    return true;
}

// The median cut keeps five bits of each channel; each entry then becomes the mean of
// the pixels given to it, so that flat areas keep their exact colour.
void refineToMeans(const std::vector<QRgb>& rgb, IndexedPicture& out) {
    std::vector<std::array<quint64, 4>> sums(out.palette.size(), {0, 0, 0, 0});
    for (size_t i = 0; i < rgb.size(); ++i) {
        auto& sum = sums[out.pixels[i]];
        sum[0] += qRed(rgb[i]);
        sum[1] += qGreen(rgb[i]);
        sum[2] += qBlue(rgb[i]);
        ++sum[3];
    }
    for (size_t k = 0; k < sums.size(); ++k) {
        const auto& sum = sums[k];
        if (sum[3] > 0) {
            const auto mean = [&](int c) {
                return static_cast<GifByteType>((sum[c] + sum[3] / 2) / sum[3]);
            };
            out.palette[k] = {mean(0), mean(1), mean(2)};
        }
    }
}

bool indexByMedianCut(const std::vector<QRgb>& rgb, int limit, IndexedPicture& out) {
    std::vector<GifByteType> red(rgb.size()), green(rgb.size()), blue(rgb.size());
    for (size_t i = 0; i < rgb.size(); ++i) {
        red[i] = static_cast<GifByteType>(qRed(rgb[i]));
        green[i] = static_cast<GifByteType>(qGreen(rgb[i]));
        blue[i] = static_cast<GifByteType>(qBlue(rgb[i]));
    }
    int size = limit;
    std::array<GifColorType, kPaletteSize> palette{};
    out.pixels.resize(rgb.size());
    // The pixels are handed over as one long row: only their colours matter.
    if (GifQuantizeBuffer(static_cast<unsigned>(rgb.size()), 1, &size, red.data(), green.data(),
                          blue.data(), out.pixels.data(), palette.data()) != GIF_OK) {
        return false;
    }
    out.palette.assign(palette.begin(), palette.begin() + size);
    refineToMeans(rgb, out);
    return true;
}

int appendToBuffer(GifFileType* gif, const GifByteType* bytes, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
    return length;
}

QByteArray writeIndexed(const IndexedPicture& picture, int width, int height) {
    QByteArray bytes;
    int error = 0;
    GifFileType* gif = EGifOpen(&bytes, appendToBuffer, &error);
    if (gif == nullptr) {
        return {};
    }
    ColorMapObject* map = GifMakeMapObject(kPaletteSize, nullptr);
    std::copy(picture.palette.begin(), picture.palette.end(), map->Colors);
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK;
    if (ok && picture.transparentIndex != NO_TRANSPARENT_COLOR) {
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSAL_UNSPECIFIED;
        control.TransparentColor = picture.transparentIndex;
        GifByteType extension[4];
        const size_t length = EGifGCBToExtension(&control, extension);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) ==
             GIF_OK;
    }
    ok = ok && EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < height; ++y) {
        ok = EGifPutLine(gif, const_cast<GifByteType*>(&picture.pixels[size_t(y) * width]),
                         width) == GIF_OK;
    }
    GifFreeMapObject(map);
    if (EGifCloseFile(gif, &error) != GIF_OK || !ok) {
        return {};
    }
    return bytes;
}

}  // namespace

QByteArray encodeGif(const QImage& image, std::optional<QColor> matte, ClearPixels clear) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const int width = argb.width();
    const int height = argb.height();
    // Covered pixels are indexed by colour; clear ones share one reserved entry.
    std::vector<QRgb> covered;
    std::vector<size_t> coveredAt;
    std::vector<bool> isClear(size_t(width) * height, false);
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const size_t i = size_t(y) * width + x;
            if (matte && qAlpha(line[x]) < kAlphaThreshold) {
                isClear[i] = true;
            } else {
                covered.push_back(flatten(line[x], matte));
                coveredAt.push_back(i);
            }
        }
    }
    const bool anyClear = covered.size() < isClear.size();
    const int limit = anyClear ? kPaletteSize - 1 : kPaletteSize;
    IndexedPicture indexed;
    if (!indexExactly(covered, limit, indexed)) {
        indexed = {};
        if (!indexByMedianCut(covered, limit, indexed)) {
            return {};
        }
    }
    IndexedPicture picture;
    picture.palette = indexed.palette;
    picture.pixels.assign(isClear.size(), static_cast<GifByteType>(kPaletteSize - 1));
    for (size_t k = 0; k < coveredAt.size(); ++k) {
        picture.pixels[coveredAt[k]] = indexed.pixels[k];
    }
    picture.palette.resize(kPaletteSize, GifColorType{0, 0, 0});
    if (anyClear) {
        picture.palette[kPaletteSize - 1] = {static_cast<GifByteType>(matte->red()),
                                             static_cast<GifByteType>(matte->green()),
                                             static_cast<GifByteType>(matte->blue())};
        if (clear == ClearPixels::Transparent) {
            picture.transparentIndex = kPaletteSize - 1;
        }
    }
    return writeIndexed(picture, width, height);
}
