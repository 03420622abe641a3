#pragma once

#include <QStringList>
#include <QStringView>

#include <optional>

// The folders and file name of an archive entry below the target folder. Backslash and
// slash both separate; "." and empty components are dropped. Nothing when the name would
// leave the target folder: an absolute name, a drive letter ("C:\x", "C:x") or "..".
// An empty list names the target folder itself.
std::optional<QStringList> safeEntryPath(QStringView name);

// True when a link stored at `linkPath` (a safe entry path) pointing to `target` resolves
// inside the target folder.
bool linkStaysInside(const QStringList& linkPath, QStringView target);
