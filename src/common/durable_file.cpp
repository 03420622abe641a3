#include "durable_file.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "record_file.h"

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool writeAllAt(int fd, QByteArrayView bytes, qint64 offset) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::pwrite(fd, bytes.data() + done, size_t(bytes.size() - done), off_t(offset + done));
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

bool readAllAt(int fd, char* into, qint64 width, qint64 offset) {
    qint64 done = 0;
    while (done < width) {
        const ssize_t got = ::pread(fd, into + done, size_t(width - done), off_t(offset + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        done += got;
    }
    return true;
}

DurableFile::DurableFile(QString path, FileAccess access)
    : path_(std::move(path)), access_(access) {}

QString DurableFile::errorString() const {
    return errno_ == 0 ? QString() : systemReason(errno_);
}

DurableFile::~DurableFile() {
    cancel();
}

bool DurableFile::fail() {
    errno_ = errno;
    cancel();
    return false;
}

bool DurableFile::open() {
    const QByteArray target = QFile::encodeName(path_);
    tempName_ = target + ".XXXXXX";
    written_ = 0;
    fd_ = ::mkostemp(tempName_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        errno_ = errno;
        tempName_.clear();
        return false;
    }
    struct stat old {};
    const bool existed = ::stat(target.constData(), &old) == 0;
    // mkstemp makes the file 0600: a new file gets what the user's umask allows, as any
    // other file the program creates, and a replaced one keeps its own mode.
    mode_t mode = existed ? (old.st_mode & 07777) : 0;
    if (access_ == FileAccess::OwnerOnly) {
        mode = 0600;
    } else if (!existed) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    return ::fchmod(fd_, mode) == 0 || fail();
}

bool DurableFile::write(QByteArrayView bytes) {
    Q_ASSERT(fd_ >= 0);
    if (!writeAllAt(fd_, bytes, written_)) {
        return fail();
    }
    written_ += bytes.size();
    return true;
}

bool DurableFile::commit(FolderSync folderSync) {
    Q_ASSERT(fd_ >= 0);
    if (modified_.isValid()) {
        const qint64 ms = modified_.toMSecsSinceEpoch();
        const timespec times[2] = {{0, UTIME_OMIT}, {ms / 1000, (ms % 1000) * 1000000}};
        if (::futimens(fd_, times) != 0) {
            return fail();
        }
    }
    if (::fsync(fd_) != 0) {
        return fail();
    }
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0) {
        return fail();
    }
    if (::rename(tempName_.constData(), QFile::encodeName(path_).constData()) != 0) {
        return fail();
    }
    tempName_.clear();
    // The new file is in place; a folder that cannot be synced may still lose it in a crash.
    if (folderSync == FolderSync::Now && !SyncFolder(QFileInfo(path_).absolutePath())) {
        errno_ = errno;
        return false;
    }
    return true;
}

void DurableFile::cancel() {
    if (fd_ >= 0) {
        ::close(std::exchange(fd_, -1));
    }
    if (!tempName_.isEmpty()) {
        ::unlink(tempName_.constData());
        tempName_.clear();
    }
}

bool writeFileDurably(const QString& path, QByteArrayView bytes, QString& error,
                      FolderSync folderSync, FileAccess access) {
    DurableFile file(path, access);
    if (file.open() && file.write(bytes) && file.commit(folderSync)) {
        return true;
    }
    error = file.errorString();
    return false;
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
