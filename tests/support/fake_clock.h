#pragma once

#include <QList>

#include <functional>

#include "clock.h"

// A clock that runs as fast as the test: every wait processes the pending events, then
// jumps to the deadline. Actions scheduled at a time run when the clock passes it, from
// inside the wait, as a user's click would arrive during a pause.
class FakeClock final : public Clock {
  public:
    qint64 nowMs() override { return now_; }
    void waitForEvents(qint64 maxMs) override;
    qint64 wallSeconds() override { return wallStart_ + now_ / 1000; }

    void at(qint64 timeMs, std::function<void()> action);
    // Moves the calendar on without running anything, as days pass between two checks.
    void passDays(int days) { wallStart_ += qint64(days) * 86400; }
    // Total time spent inside waits.
    qint64 waitedMs() const { return waited_; }

  private:
    struct Scheduled {
        qint64 timeMs;
        std::function<void()> action;
    };
    qint64 now_ = 1000;
    qint64 wallStart_ = 1796688000;  // 2026-12-08 00:00 UTC
    qint64 waited_ = 0;
    QList<Scheduled> scheduled_;
};
