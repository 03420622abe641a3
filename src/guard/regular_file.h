#pragma once

#include <QByteArray>
#include <QString>

// The part of a file that was read.
struct FileHead {
    QByteArray bytes;
    bool cut = false;  // the file went on beyond the limit
};

// A local file opened for reading only when it is a regular file. A FIFO, device, socket or
// folder is turned away before it is opened; the file is opened without blocking and
// checked again once open, so no path, whatever it names or is swapped for, can stall the
// window or feed it without end.
class RegularFile {
  public:
    explicit RegularFile(const QString& path);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // Why the file is not open or the last read failed: the kind of file or the system's
    // reason.
    const QString& failure() const { return failure_; }
    // The size the file system gives; files of /proc give 0 and still have content.
    qint64 size() const { return size_; }

    // Up to `size` bytes from where the last read ended; 0 at the end, -1 on failure.
    qint64 read(char* data, qint64 size);
    // The rest of the file up to `limit` bytes; false on failure.
    bool readHead(qint64 limit, FileHead& head);

  private:
    int fd_ = -1;
    qint64 size_ = 0;
    QString failure_;
};
