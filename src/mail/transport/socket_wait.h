#pragma once

#include <QDeadlineTimer>

#include <functional>

class QAbstractSocket;

enum class SocketWait {
    Done,
    TimedOut,
    // The event loop no longer runs (the program is quitting): waiting on would spin.
    Cancelled,
};

// Processes events (the window stays alive) until `done()` holds, waking on everything
// `socket` reports, or until the deadline. Needs a QCoreApplication.
SocketWait waitOnSocket(QAbstractSocket& socket, const std::function<bool()>& done,
                        const QDeadlineTimer& deadline);
