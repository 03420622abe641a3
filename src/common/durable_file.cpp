#include "durable_file.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "record_file.h"

namespace {

QString systemReason() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Writes all of `bytes`, going on after a short write; a short write that cannot go on
// leaves errno set.
bool writeAll(int fd, QByteArrayView bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        done += written;
    }
    return true;
}

}  // namespace

bool writeFileDurably(const QString& path, QByteArrayView bytes, QString& error,
                      FolderSync folderSync, FileAccess access) {
    const QByteArray target = QFile::encodeName(path);
    QByteArray temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        error = systemReason();
        return false;
    }
    struct stat old {};
    const bool existed = ::stat(target.constData(), &old) == 0;
    // mkstemp makes the file 0600: a new file gets what the user's umask allows, as any
    // other file the program creates, and a replaced one keeps its own mode.
    mode_t mode = existed ? (old.st_mode & 07777) : 0;
    if (access == FileAccess::OwnerOnly) {
        mode = 0600;
    } else if (!existed) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    const bool written = ::fchmod(fd, mode) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    const QString reason = written ? QString() : systemReason();
    if (::close(fd) != 0 && written) {
        error = systemReason();
        ::unlink(temp.constData());
        return false;
    }
    if (!written) {
        error = reason;
        ::unlink(temp.constData());
        return false;
    }
    if (::rename(temp.constData(), target.constData()) != 0) {
        error = systemReason();
        ::unlink(temp.constData());
        return false;
    }
    if (folderSync == FolderSync::Now && !SyncFolder(QFileInfo(path).absolutePath())) {
        error = systemReason();
        return false;
    }
    return true;
}

bool readWholeFile(const QString& path, QByteArray& bytes, QString& error) {
    bytes.clear();
    QFile file(path);
    if (!file.exists()) {
        return true;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.size() != file.size()) {
        error = file.errorString();
        bytes.clear();
        return false;
    }
    return true;
}

bool syncFile(const QString& path, QString& error) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            return true;
        }
        error = systemReason();
        return false;
    }
    const bool synced = ::fdatasync(fd) == 0;
    if (!synced) {
        error = systemReason();
    }
    ::close(fd);
    return synced;
}
