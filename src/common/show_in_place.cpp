#include "show_in_place.h"

#include <QWidget>

void ShowInPlace(QWidget& toShow, QWidget& toHide) {
    toShow.move(toHide.pos());
    toShow.show();
    toHide.hide();
}
