#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

// The time seam: the millisecond clock that pauses read, and the way a pause lets the
// event loop run. Tests replace it with a clock they can run fast.
class Clock {
  public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start; never goes backwards.
    virtual qint64 nowMs() = 0;
    // Processes events, blocking until one arrives or at most `maxMs` have passed.
    virtual void waitForEvents(qint64 maxMs) = 0;
    // The calendar time, in seconds since 1970 (UTC), for what is kept for days.
    virtual qint64 wallSeconds() = 0;
};

// The real monotonic clock, waiting on the event loop.
class SteadyClock final : public Clock {
  public:
    SteadyClock();
    qint64 nowMs() override;
    void waitForEvents(qint64 maxMs) override;
    qint64 wallSeconds() override;

  private:
    QElapsedTimer started_;
};
