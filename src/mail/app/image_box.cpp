#include "app/image_box.h"

#include <QKeyEvent>
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
    // Handled here: passed on, the move would reach the bar behind the picture, whose own
    // handler undoes what this one did.
    event->accept();
}

void ImageBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        emit rightClicked(event->globalPosition().toPoint());
    }
    leftPressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void ImageBox::mouseReleaseEvent(QMouseEvent* event) {
    // A click is a press and a release over the picture.
    const bool click = leftPressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    leftPressed_ = false;
    event->accept();
    if (click) {
        emit clicked();
    }
}

void ImageBox::actAsButton(const QString& name) {
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(name);
}

void ImageBox::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool press = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    if (press && focusPolicy() != Qt::NoFocus && !event->isAutoRepeat() &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        event->accept();
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}
