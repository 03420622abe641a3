#include "toolbar_icons.h"

#include <QPainter>
#include <QPixmap>

QIcon glyphIcon(const QString& glyph, QFont font) {
    constexpr int kSize = 20;
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(120, 130, 150));
    painter.setBrush(QColor(236, 240, 248));
    painter.drawRoundedRect(QRectF(0.5, 0.5, kSize - 1, kSize - 1), 3, 3);
    font.setPixelSize(13);
    painter.setFont(font);
    painter.setPen(QColor(30, 40, 70));
    painter.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, glyph);
    return QIcon(pixmap);
}
