#pragma once

#include <QByteArrayView>
#include <QString>

// Whether a durable write also makes the file's entry in its folder durable at once, or
// leaves that to one SyncFolder of the caller after many files.
enum class FolderSync { Now, Later };

// Replaces the whole of `path` with `bytes`, or leaves it as it was: the bytes go to a
// temporary file beside it, every write and the sync are checked, and only then is it
// renamed over the old file. An old file's mode is kept. False with the system's reason in
// `error` when anything failed; the temporary file is then gone.
bool writeFileDurably(const QString& path, QByteArrayView bytes, QString& error,
                      FolderSync folderSync = FolderSync::Now);

// Forces what was written to an existing file onto the disk; a missing file holds nothing
// to keep. False with the reason in `error`.
bool syncFile(const QString& path, QString& error);
