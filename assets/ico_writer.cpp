#include "ico_writer.h"

#include <QDataStream>
#include <QIODevice>

namespace {

constexpr int kDirectorySize = 6;
constexpr int kEntrySize = 16;
constexpr int kBitmapHeaderSize = 40;

int maskStride(int width) {
    return ((width + 31) / 32) * 4;
}

QByteArray bitmap(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int width = image.width();
    const int height = image.height();
    const int maskBytes = maskStride(width) * height;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(kBitmapHeaderSize) << qint32(width) << qint32(height * 2) << quint16(1)
        << quint16(32) << quint32(0) << quint32(width * height * 4 + maskBytes) << qint32(0)
        << qint32(0) << quint32(0) << quint32(0);
    // Rows run from the bottom up, in both the colour and the mask part.
    for (int y = height - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            out << quint8(qBlue(line[x])) << quint8(qGreen(line[x])) << quint8(qRed(line[x]))
                << quint8(qAlpha(line[x]));
        }
    }
    for (int y = height - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QByteArray row(maskStride(width), '\0');
        for (int x = 0; x < width; ++x) {
            if (qAlpha(line[x]) < 128) {
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
            }
        }
        out.writeRawData(row.constData(), row.size());
    }
    return bytes;
}

}  // namespace

QByteArray encodeIco(const QList<QImage>& sizes) {
    QList<QByteArray> bitmaps;
    for (const QImage& image : sizes) {
        bitmaps << bitmap(image);
    }
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(sizes.size());
    quint32 offset = kDirectorySize + kEntrySize * sizes.size();
    for (int i = 0; i < sizes.size(); ++i) {
        // A side of 256 is written as 0.
        out << quint8(sizes[i].width() & 0xff) << quint8(sizes[i].height() & 0xff) << quint8(0)
            << quint8(0) << quint16(1) << quint16(32) << quint32(bitmaps[i].size()) << offset;
        offset += bitmaps[i].size();
    }
    for (const QByteArray& image : bitmaps) {
        out.writeRawData(image.constData(), image.size());
    }
    return bytes;
}
