#include "routines.h"

#include <QWidget>

#include "clock.h"

QString StripAtNul(QStringView text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return (nul < 0 ? text : text.left(nul)).toString();
}

void WaitMs(Clock& clock, qint32 ms) {
    const qint64 start = clock.nowMs();
    for (qint64 elapsed = 0; elapsed <= ms; elapsed = clock.nowMs() - start) {
        clock.waitForEvents(ms - elapsed + 1);
    }
}

void ShowInPlace(QWidget& toShow, QWidget& toHide) {
    toShow.move(toHide.pos());
    toShow.show();
    toHide.hide();
}
