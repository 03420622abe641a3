#pragma once

#include <QString>
#include <QStringList>

// Every entry below `folder` with its size and time, sorted, to see that nothing changed
// there.
QStringList folderSnapshot(const QString& folder);
