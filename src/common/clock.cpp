#include "clock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <limits>

SteadyClock::SteadyClock() {
    started_.start();
}

qint64 SteadyClock::nowMs() {
    return started_.elapsed();
}

void SteadyClock::waitForEvents(qint64 maxMs) {
    // The timer is an event of its own, so the wait below ends at the deadline at the
    // latest and the processor sleeps meanwhile.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(static_cast<int>(std::clamp<qint64>(maxMs, 0, std::numeric_limits<int>::max())));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

qint64 SteadyClock::wallSeconds() {
    return QDateTime::currentSecsSinceEpoch();
}
