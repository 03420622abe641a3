#include "regular_file.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 kChunk = 1 << 16;

QString systemReason() {
    return qt_error_string(errno);
}

// Empty for a regular file; otherwise what the path names instead.
QString otherKind(mode_t mode) {
    if (S_ISREG(mode)) {
        return {};
    }
    if (S_ISFIFO(mode)) {
        return QStringLiteral("名前付きパイプ (FIFO)");
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return QStringLiteral("デバイス");
    }
    if (S_ISSOCK(mode)) {
        return QStringLiteral("ソケット");
    }
    if (S_ISDIR(mode)) {
        return QStringLiteral("フォルダ");
    }
    return QStringLiteral("通常のファイルではありません");
}

}  // namespace

RegularFile::RegularFile(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (::stat(native.constData(), &info) != 0) {
        failure_ = systemReason();
        return;
    }
    failure_ = otherKind(info.st_mode);
    if (!failure_.isEmpty()) {
        return;
    }
    // Not blocking: a FIFO put in the file's place since the check cannot hold the open
    // (or a read) waiting for a writer.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        failure_ = systemReason();
        return;
    }
    if (::fstat(fd, &info) != 0) {
        failure_ = systemReason();
    } else {
        failure_ = otherKind(info.st_mode);
    }
    if (!failure_.isEmpty()) {
        ::close(fd);
        return;
    }
    fd_ = fd;
    size_ = info.st_size;
}

RegularFile::~RegularFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

qint64 RegularFile::read(char* data, qint64 size) {
    for (;;) {
        const ssize_t got = ::read(fd_, data, static_cast<size_t>(size));
        if (got >= 0) {
            return got;
        }
        if (errno != EINTR) {
            failure_ = systemReason();
            return -1;
        }
    }
}

bool RegularFile::readHead(qint64 limit, FileHead& head) {
    // One byte beyond the limit tells whether the file goes on.
    QByteArray bytes;
    bytes.reserve(qMin(limit, size_) + 1);
    char chunk[kChunk];
    while (bytes.size() <= limit) {
        const qint64 got = read(chunk, qMin(kChunk, limit + 1 - bytes.size()));
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            break;
        }
        bytes.append(chunk, got);
    }
    head.cut = bytes.size() > limit;
    if (head.cut) {
        bytes.truncate(limit);
    }
    head.bytes = bytes;
    return true;
}
