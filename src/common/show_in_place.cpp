#include "show_in_place.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

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
    QRect placed = toShow.frameGeometry();
    if (placed == toShow.geometry()) {
        // Not framed yet: the window manager will frame it as it framed its owner.
        const QRect ownerFrame = owner.frameGeometry();
        const QRect ownerClient = owner.geometry();
        placed.adjust(ownerFrame.left() - ownerClient.left(), ownerFrame.top() - ownerClient.top(),
                      ownerFrame.right() - ownerClient.right(),
                      ownerFrame.bottom() - ownerClient.bottom());
    }
    placed.moveCenter(owner.frameGeometry().center());
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
    QRect placed(window.frameGeometry().topLeft(), outer);
    placed.moveRight(std::min(placed.right(), available.right()));
    placed.moveBottom(std::min(placed.bottom(), available.bottom()));
    placed.moveLeft(std::max(placed.left(), available.left()));
    placed.moveTop(std::max(placed.top(), available.top()));
    if (placed.topLeft() != window.frameGeometry().topLeft()) {
        window.move(placed.topLeft());
    }
}
