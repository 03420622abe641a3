#pragma once

#include <QDeadlineTimer>

#include <functional>

class QAbstractSocket;

// Processes events (the window stays alive) until `done()` holds, waking on everything
// `socket` reports. False when the deadline came first. Needs a QCoreApplication.
bool waitOnSocket(QAbstractSocket& socket, const std::function<bool()>& done,
                  const QDeadlineTimer& deadline);
