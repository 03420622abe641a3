#include "contact_sheet.h"

#include <QBuffer>
#include <QFont>
#include <QImageReader>
#include <QPainter>

namespace {

constexpr int kColumnWidth = 330;
constexpr int kColumns = 4;
constexpr int kLabelHeight = 18;
constexpr int kGap = 10;
constexpr int kMaxHeight = 260;

// Decoding the written bytes shows what the programs will see, not what was drawn; of an
// icon, its largest picture.
QImage decoded(const PictureFile& file) {
    QBuffer buffer;
    buffer.setData(file.bytes);
    QImageReader reader(&buffer);
    QImage largest;
    do {
        const QImage image = reader.read();
        if (image.width() > largest.width()) {
            largest = image;
        }
    } while (reader.jumpToNextImage());
    return largest.isNull() ? file.preview : largest;
}

}  // namespace

QImage contactSheet(const QList<PictureFile>& files) {
    QList<QImage> shown;
    for (const PictureFile& file : files) {
        const QImage image = decoded(file);
        const int zoom = qBound(1, (kColumnWidth - kGap) / qMax(1, image.width()), 4);
        const QImage enlarged =
            image.scaled(image.size() * qMin(zoom, qMax(1, kMaxHeight / image.height())));
        shown << (enlarged.width() <= kColumnWidth - kGap
                      ? enlarged
                      : enlarged.scaledToWidth(kColumnWidth - kGap, Qt::SmoothTransformation));
    }
    QList<int> rowHeights;
    for (int i = 0; i < shown.size(); i += kColumns) {
        int height = 0;
        for (int j = i; j < qMin(i + kColumns, int(shown.size())); ++j) {
            height = qMax(height, shown[j].height());
        }
        rowHeights << height + kLabelHeight + kGap;
    }
    int total = 0;
    for (int height : rowHeights) {
        total += height;
    }
    QImage sheet(kColumnWidth * kColumns, total, QImage::Format_RGB32);
    sheet.fill(QColor(170, 170, 170));
    QPainter p(&sheet);
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(13);
    p.setFont(font);
    int top = 0;
    for (int i = 0; i < shown.size(); ++i) {
        const int column = i % kColumns;
        const int left = column * kColumnWidth + kGap / 2;
        p.drawText(left, top + 14, files[i].path);
        p.drawImage(left, top + kLabelHeight, shown[i]);
        if (column == kColumns - 1 || i == shown.size() - 1) {
            top += rowHeights[i / kColumns];
        }
    }
    return sheet;
}
