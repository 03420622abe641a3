#include "image_box.h"

#include <QMouseEvent>
#include <QPixmap>

ImageBox::ImageBox(QWidget* parent) : QLabel(parent) {
    setScaledContents(true);
    setMouseTracking(true);
}

void ImageBox::LoadPicture(const QString& path) {
    const QPixmap picture(path);
    picturePath_ = picture.isNull() ? QString() : path;
    setPixmap(picture);
}

void ImageBox::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved();
    QLabel::mouseMoveEvent(event);
}

void ImageBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        emit rightClicked(event->globalPosition().toPoint());
    } else if (event->button() == Qt::LeftButton) {
        emit clicked();
    }
    QLabel::mousePressEvent(event);
}
