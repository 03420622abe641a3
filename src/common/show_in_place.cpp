#include "show_in_place.h"

#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

QMargins frameMargins(const QWidget& window) {
    // Asked of the window system each time: the widget's own copy is refreshed only when it
    // moves or resizes, and may still hold a frame measured while the frame was resizing.
    const QWindow* native = window.windowHandle();
    return native != nullptr && window.isVisible() ? native->frameMargins() : QMargins();
}

void ShowInPlace(QWidget& toShow, QWidget& toHide) {
    toShow.move(toHide.pos());
    toShow.show();
    toHide.hide();
}

void ShowOver(QWidget& toShow, const QWidget& owner) {
    // A window sized by its layout takes that size only as it shows: taken here, to centre
    // it.
    if (!toShow.testAttribute(Qt::WA_Resized)) {
        toShow.adjustSize();
    }
    // Not framed yet, it will be framed as its owner is.
    const QMargins frame =
        frameMargins(toShow).isNull() ? frameMargins(owner) : frameMargins(toShow);
    QRect placed = toShow.geometry().marginsAdded(frame);
    placed.moveCenter(owner.geometry().marginsAdded(frameMargins(owner)).center());
    toShow.move(placed.topLeft());
    toShow.show();
    toShow.raise();
    toShow.activateWindow();
}

void centreOnScreen(QWidget& window, QSize outer) {
    QRect placed(QPoint(), outer);
    placed.moveCenter(window.screen()->availableGeometry().center());
    window.move(placed.topLeft());
    keepOnScreen(window, outer);
}

void keepOnScreen(QWidget& window, QSize outer) {
    const QRect available = window.screen()->availableGeometry();
    const QMargins frame = frameMargins(window);
    const QPoint frameTopLeft = window.geometry().topLeft() - QPoint(frame.left(), frame.top());
    QRect placed(frameTopLeft, outer);
    placed.moveRight(std::min(placed.right(), available.right()));
    placed.moveBottom(std::min(placed.bottom(), available.bottom()));
    placed.moveLeft(std::max(placed.left(), available.left()));
    placed.moveTop(std::max(placed.top(), available.top()));
    if (placed.topLeft() != frameTopLeft) {
        window.move(placed.topLeft());
    }
}
