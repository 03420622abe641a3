#pragma once

#include <QString>
#include <QStringView>

// A file name from a stranger's mail made fit to create inside the attachment folder: only
// its last path component (after "/" or "\"), without drive letters, control characters,
// characters Windows forbids, leading dots or trailing dots and spaces, device names or
// excess length. Never empty, never "." or "..".
QString safeFileName(QStringView suggested);

// The `n`th candidate for a name already taken: "name(2).ext", "name(3).ext" ...
QString numberedFileName(QStringView name, int n);
