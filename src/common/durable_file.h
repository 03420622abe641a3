#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <cerrno>

// Whether a durable write also makes the file's entry in its folder durable at once, or
// leaves that to one SyncFolder of the caller after many files.
enum class FolderSync { Now, Later };

// Who may read a file the suite writes: as the user's other files (a replaced file keeps
// its mode), or its owner alone (a password, mail, the servers and mails it knows).
enum class FileAccess { AsUsual, OwnerOnly };

// Writes a file whole or not at all, piece by piece: the pieces go to a temporary file in
// the same folder, every write is checked, and commit() syncs it and renames it over the
// old file. Until then the old file stays as it was; a writer that is not committed
// removes its temporary file. Every failure leaves the system's reason in errorString().
class DurableFile {
  public:
    explicit DurableFile(QString path, FileAccess access = FileAccess::AsUsual);
    ~DurableFile();
    DurableFile(const DurableFile&) = delete;
    DurableFile& operator=(const DurableFile&) = delete;

    bool open();
    bool write(QByteArrayView bytes);
    // The modification time the file is to have once committed (an extracted file keeps
    // the one its archive gives).
    void setModificationTime(const QDateTime& modified) { modified_ = modified; }
    bool commit(FolderSync folderSync = FolderSync::Now);
    // Drops what was written; the old file stays.
    void cancel();

    const QString& path() const { return path_; }
    QString errorString() const;
    // The system's error number of the failure, for a caller that tells a full disk from a
    // refusal.
    int errorNumber() const { return errno_; }

  private:
    bool fail();

    QString path_;
    FileAccess access_;
    QByteArray tempName_;
    int fd_ = -1;
    qint64 written_ = 0;
    QDateTime modified_;
    int errno_ = 0;
};

// Replaces the whole of `path` with `bytes`, or leaves it as it was: the bytes go to a
// temporary file beside it, every write and the sync are checked, and only then is it
// renamed over the old file. False with the system's reason in `error` when anything
// failed; the temporary file is then gone.
bool writeFileDurably(const QString& path, QByteArrayView bytes, QString& error,
                      FolderSync folderSync = FolderSync::Now,
                      FileAccess access = FileAccess::AsUsual);

// The system's words for an error number, for the second line of a failure box.
QString systemReason(int error = errno);

// Writes all of `bytes` at `offset`, going on after a short write; false with errno set.
bool writeAllAt(int fd, QByteArrayView bytes, qint64 offset);
// Reads exactly `width` bytes at `offset` into `into`, going on after a short read; false
// when the file ends first or a read fails.
bool readAllAt(int fd, char* into, qint64 width, qint64 offset);

// Reads the whole of an existing file into `bytes`: true for a file that is not there
// (`bytes` empty), false with the reason in `error` for one that exists and cannot be read
// to its end. What is written back from a partial read would lose the rest.
bool readWholeFile(const QString& path, QByteArray& bytes, QString& error);

// Forces what was written to an existing file onto the disk; a missing file holds nothing
// to keep. False with the reason in `error`.
bool syncFile(const QString& path, QString& error);
