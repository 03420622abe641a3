#include "fake_clock.h"

#include <QCoreApplication>

void FakeClock::waitForEvents(qint64 maxMs) {
    QCoreApplication::processEvents();
    const qint64 deadline = now_ + qMax<qint64>(maxMs, 0);
    // Run what falls due before the deadline, stopping the jump there as a real event would.
    for (qsizetype i = 0; i < scheduled_.size(); ++i) {
        if (scheduled_[i].timeMs <= deadline) {
            Scheduled due = scheduled_.takeAt(i);
            waited_ += qMax<qint64>(due.timeMs - now_, 0);
            now_ = qMax(now_, due.timeMs);
            due.action();
            return;
        }
    }
    waited_ += deadline - now_;
    now_ = deadline;
}

void FakeClock::at(qint64 timeMs, std::function<void()> action) {
    scheduled_.append({timeMs, std::move(action)});
}
