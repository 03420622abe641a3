#include "animation_frame.h"

#include <QPainter>

QImage composeAnimationFrame(const QImage& background, const QImage& mask, const QImage& strip,
                             int x, QSize size, const QColor& blank) {
    QImage canvas(size, QImage::Format_RGB32);
    canvas.fill(blank);
    if (background.isNull() || mask.isNull() || strip.isNull()) {
        return canvas;
    }
    const QRect frame(x, 0, kAnimationFrameWidth, kAnimationFrameHeight);
    const QPoint frameAt(0, kAnimationFrameTop);
    // Raster operations need pictures without alpha on both sides.
    QPainter painter(&canvas);
    painter.drawImage(QPoint(0, 0), background.convertToFormat(QImage::Format_RGB32),
                      QRect(QPoint(0, 0), kAnimationBackgroundSize));
    painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    painter.drawImage(frameAt, mask.convertToFormat(QImage::Format_RGB32), frame);
    painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    painter.drawImage(frameAt, strip.convertToFormat(QImage::Format_RGB32), frame);
    return canvas;
}

int nextAnimationColumn(int x) {
    const int next = x + kAnimationFrameWidth;
    return next % kAnimationStripWidth == 0 ? 0 : next;
}
