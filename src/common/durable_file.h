#pragma once

#include <QByteArrayView>
#include <QString>

// Whether a durable write also makes the file's entry in its folder durable at once, or
// leaves that to one SyncFolder of the caller after many files.
enum class FolderSync { Now, Later };

// Who may read a file the suite writes: as the user's other files (a replaced file keeps
// its mode), or its owner alone (a password, mail, the servers and mails it knows).
enum class FileAccess { AsUsual, OwnerOnly };

// Replaces the whole of `path` with `bytes`, or leaves it as it was: the bytes go to a
// temporary file beside it, every write and the sync are checked, and only then is it
// renamed over the old file. False with the system's reason in `error` when anything
// failed; the temporary file is then gone.
bool writeFileDurably(const QString& path, QByteArrayView bytes, QString& error,
                      FolderSync folderSync = FolderSync::Now,
                      FileAccess access = FileAccess::AsUsual);

// Reads the whole of an existing file into `bytes`: true for a file that is not there
// (`bytes` empty), false with the reason in `error` for one that exists and cannot be read
// to its end. What is written back from a partial read would lose the rest.
bool readWholeFile(const QString& path, QByteArray& bytes, QString& error);

// Forces what was written to an existing file onto the disk; a missing file holds nothing
// to keep. False with the reason in `error`.
bool syncFile(const QString& path, QString& error);
