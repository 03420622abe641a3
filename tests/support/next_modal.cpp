#include "next_modal.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

void whenModalShows(std::function<void(QWidget* box)> act) {
    QTimer::singleShot(10, [act = std::move(act)]() mutable {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr || !box->isVisible()) {
            whenModalShows(std::move(act));
            return;
        }
        act(box);
    });
}
