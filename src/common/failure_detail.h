#pragma once

#include <QDir>
#include <QString>

// The second line of a failure box: the file in the platform's notation and, where the
// system gave one, its reason.
inline QString fileAndReason(const QString& path, const QString& reason) {
    const QString file = QDir::toNativeSeparators(path);
    return reason.isEmpty() ? file : QStringLiteral("%1 (%2)").arg(file, reason);
}
