#include "transport/socket_wait.h"

#include <QAbstractSocket>
#include <QEventLoop>
#include <QSslSocket>
#include <QTimer>

#include <algorithm>
#include <climits>

SocketWait waitOnSocket(QAbstractSocket& socket, const std::function<bool()>& done,
                        const QDeadlineTimer& deadline) {
    if (done()) {
        return SocketWait::Done;
    }
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto wake = [&loop] { loop.quit(); };
    QObject::connect(&socket, &QAbstractSocket::readyRead, &loop, wake);
    QObject::connect(&socket, &QAbstractSocket::connected, &loop, wake);
    QObject::connect(&socket, &QAbstractSocket::disconnected, &loop, wake);
    QObject::connect(&socket, &QAbstractSocket::stateChanged, &loop, wake);
    QObject::connect(&socket, &QAbstractSocket::errorOccurred, &loop, wake);
    if (auto* ssl = qobject_cast<QSslSocket*>(&socket)) {
        QObject::connect(ssl, &QSslSocket::encrypted, &loop, wake);
    }
    while (!done()) {
        if (deadline.hasExpired()) {
            return SocketWait::TimedOut;
        }
        if (!deadline.isForever()) {
            timer.start(static_cast<int>(std::clamp<qint64>(deadline.remainingTime(), 0, INT_MAX)));
        }
        // After the application was told to quit, every event loop returns at once with -1.
        if (loop.exec() < 0) {
            return done() ? SocketWait::Done : SocketWait::Cancelled;
        }
    }
    return SocketWait::Done;
}
