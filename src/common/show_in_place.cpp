#include "show_in_place.h"

#include <QWidget>

void ShowInPlace(QWidget& toShow, QWidget& toHide) {
    toShow.move(toHide.pos());
    toShow.show();
    toHide.hide();
}

void ShowOver(QWidget& toShow, const QWidget& owner) {
    // A window sized by its layout takes that size only as it shows: taken here, to centre
    // it. Before its first showing the frame is unknown; its own size stands in for it.
    if (!toShow.testAttribute(Qt::WA_Resized)) {
        toShow.adjustSize();
    }
    QRect placed = toShow.frameGeometry();
    placed.moveCenter(owner.frameGeometry().center());
    toShow.move(placed.topLeft());
    toShow.show();
    toShow.raise();
    toShow.activateWindow();
}
