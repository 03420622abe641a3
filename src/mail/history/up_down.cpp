#include "history/up_down.h"

UpDown::UpDown(QWidget* parent)
    : QWidget(parent), UpButton(new QToolButton(this)), DownButton(new QToolButton(this)) {
    UpButton->setArrowType(Qt::UpArrow);
    DownButton->setArrowType(Qt::DownArrow);
    // Holding an arrow keeps stepping, as the platform's up-down control does.
    for (QToolButton* button : {UpButton, DownButton}) {
        button->setAutoRepeat(true);
    }
}

void UpDown::resizeEvent(QResizeEvent*) {
    const int upper = height() / 2;
    UpButton->setGeometry(0, 0, width(), upper);
    DownButton->setGeometry(0, upper, width(), height() - upper);
}
