#include "fault_injection.h"

#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

namespace {

// What the armed plan needs at the level of the system calls; plain data, read from every
// thread of the process.
struct Armed {
    std::atomic<bool> on{false};
    std::atomic<int> call{0};
    std::atomic<int> nth{0};
    std::atomic<bool> diskFull{false};
    std::atomic<int> seen{0};
    std::atomic<bool> fired{false};
    std::atomic<bool> full{false};
    char under[4096] = {};
};

Armed& armed() {
    static Armed state;
    return state;
}

template <typename Function>
Function real(const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

bool below(const char* path) {
    const std::size_t length = std::strlen(armed().under);
    return path != nullptr && std::strncmp(path, armed().under, length) == 0 &&
           (path[length] == '/' || path[length] == '\0');
}

bool fdBelow(int fd) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[4096];
    const int savedErrno = errno;
    const ssize_t length = ::readlink(link, target, sizeof target - 1);
    errno = savedErrno;
    if (length <= 0) {
        return false;
    }
    target[length] = '\0';
    return below(target);
}

std::string absolute(int dirfd, const char* path) {
    if (path == nullptr || path[0] == '/') {
        return path == nullptr ? std::string() : std::string(path);
    }
    char link[64];
    char folder[4096];
    ssize_t length = -1;
    if (dirfd == AT_FDCWD) {
        length = ::getcwd(folder, sizeof folder) != nullptr ? ssize_t(std::strlen(folder)) : -1;
    } else {
        std::snprintf(link, sizeof link, "/proc/self/fd/%d", dirfd);
        length = ::readlink(link, folder, sizeof folder - 1);
    }
    if (length <= 0) {
        return std::string(path);
    }
    return std::string(folder, std::size_t(length)) + '/' + path;
}

// Whether this call, already known to be on a file below the folder, is the one to fail.
bool strikes(faultInjection::Call call) {
    Armed& state = armed();
    if (!state.on.load() || state.call.load() != int(call)) {
        return false;
    }
    if (state.seen.fetch_add(1) + 1 != state.nth.load()) {
        return false;
    }
    state.fired = true;
    return true;
}

bool counted(faultInjection::Call call) {
    return armed().on.load() && armed().call.load() == int(call);
}

bool writingOpen(int flags) {
    return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0;
}

int failWith(int error) {
    errno = error;
    return -1;
}

// A write that the full disk cuts short or refuses; -2 when it is not touched.
ssize_t diskFullWrite(std::size_t count, const std::function<ssize_t(std::size_t)>& write) {
    Armed& state = armed();
    if (state.full.load()) {
        return failWith(ENOSPC);
    }
    if (!strikes(faultInjection::Call::Write)) {
        return -2;
    }
    if (!state.diskFull.load()) {
        return failWith(EIO);
    }
    state.full = true;
    if (count < 2) {
        return failWith(ENOSPC);
    }
    return write(count / 2);
}

ssize_t guardedWrite(int fd, std::size_t count, const std::function<ssize_t(std::size_t)>& write) {
    if ((counted(faultInjection::Call::Write) || armed().full.load()) && fdBelow(fd)) {
        const ssize_t result = diskFullWrite(count, write);
        if (result != -2) {
            return result;
        }
    }
    return write(count);
}

int openFlagsMode(int flags, va_list args) {
    return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(args, int) : 0;
}

int guardedOpen(int dirfd, const char* path, int flags) {
    if (writingOpen(flags) && counted(faultInjection::Call::Open) &&
        below(absolute(dirfd, path).c_str()) && strikes(faultInjection::Call::Open)) {
        return failWith(armed().diskFull.load() && (flags & O_CREAT) != 0 ? ENOSPC : EIO);
    }
    return 0;
}

int guardedTemp(char* pattern) {
    if (counted(faultInjection::Call::Open) && below(absolute(AT_FDCWD, pattern).c_str()) &&
        strikes(faultInjection::Call::Open)) {
        return failWith(armed().diskFull.load() ? ENOSPC : EIO);
    }
    return 0;
}

int guardedSync(int fd) {
    if (counted(faultInjection::Call::Sync) && fdBelow(fd) && strikes(faultInjection::Call::Sync)) {
        return failWith(EIO);
    }
    return 0;
}

int guardedRename(int fromDir, const char* from, int toDir, const char* to) {
    if (counted(faultInjection::Call::Rename) &&
        (below(absolute(fromDir, from).c_str()) || below(absolute(toDir, to).c_str())) &&
        strikes(faultInjection::Call::Rename)) {
        return failWith(EIO);
    }
    return 0;
}

}  // namespace

namespace faultInjection {

void arm(const Plan& plan, const QString& under) {
    Armed& state = armed();
    state.on = false;
    // Descriptors name their files by the canonical path.
    const QString canonical = QFileInfo(under).canonicalFilePath();
    const QByteArray folder = QFile::encodeName(canonical.isEmpty() ? under : canonical);
    Q_ASSERT(folder.size() < qsizetype(sizeof state.under));
    std::memset(state.under, 0, sizeof state.under);
    std::memcpy(state.under, folder.constData(), std::size_t(folder.size()));
    state.call = int(plan.call);
    state.nth = plan.nth;
    state.diskFull = plan.failure == Failure::DiskFull;
    state.seen = 0;
    state.fired = false;
    state.full = false;
    state.on = true;
}

bool disarm() {
    Armed& state = armed();
    state.on = false;
    state.full = false;
    return state.fired.load();
}

QString describe(const Plan& plan) {
    static const char* const calls[] = {"open", "write", "sync", "rename", "close"};
    return QStringLiteral("%1 #%2 fails with %3")
        .arg(QLatin1String(calls[int(plan.call)]))
        .arg(plan.nth)
        .arg(plan.failure == Failure::DiskFull ? QStringLiteral("a full disk")
                                               : QStringLiteral("EIO"));
}

int eachFault(const QList<Call>& calls, const std::function<bool(const Plan&)>& run) {
    // Far beyond what any one operation of the suite writes; a run that never stops is a
    // fault of the test.
    constexpr int kMostCalls = 2000;
    int faults = 0;
    for (const Call call : calls) {
        const QList<Failure> failures = call == Call::Write
                                            ? QList<Failure>{Failure::Io, Failure::DiskFull}
                                            : QList<Failure>{Failure::Io};
        for (const Failure failure : failures) {
            for (int nth = 1; nth <= kMostCalls; ++nth) {
                if (!run({call, nth, failure})) {
                    break;
                }
                ++faults;
            }
        }
    }
    return faults;
}

}  // namespace faultInjection

// The stand-ins. Each asks the armed plan, then calls the C library's own function.
extern "C" {

ssize_t write(int fd, const void* data, size_t count) {
    static const auto next = real<ssize_t (*)(int, const void*, size_t)>("write");
    return guardedWrite(fd, count, [&](size_t n) { return next(fd, data, n); });
}

ssize_t pwrite64(int fd, const void* data, size_t count, off_t offset) {
    static const auto next = real<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite64");
    return guardedWrite(fd, count, [&](size_t n) { return next(fd, data, n, offset); });
}

ssize_t pwrite(int fd, const void* data, size_t count, off_t offset) {
    return pwrite64(fd, data, count, offset);
}

ssize_t writev(int fd, const struct iovec* pieces, int count) {
    static const auto next = real<ssize_t (*)(int, const struct iovec*, int)>("writev");
    std::size_t total = 0;
    for (int i = 0; i < count; ++i) {
        total += pieces[i].iov_len;
    }
    return guardedWrite(fd, total, [&](size_t n) {
        if (n == total) {
            return next(fd, pieces, count);
        }
        const iovec part{pieces[0].iov_base, std::min(n, pieces[0].iov_len)};
        return next(fd, &part, 1);
    });
}

int fsync(int fd) {
    static const auto next = real<int (*)(int)>("fsync");
    return guardedSync(fd) != 0 ? -1 : next(fd);
}

int fdatasync(int fd) {
    static const auto next = real<int (*)(int)>("fdatasync");
    return guardedSync(fd) != 0 ? -1 : next(fd);
}

int rename(const char* from, const char* to) {
    static const auto next = real<int (*)(const char*, const char*)>("rename");
    return guardedRename(AT_FDCWD, from, AT_FDCWD, to) != 0 ? -1 : next(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
    static const auto next = real<int (*)(int, const char*, int, const char*)>("renameat");
    return guardedRename(fromDir, from, toDir, to) != 0 ? -1 : next(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned int flags) {
    static const auto next =
        real<int (*)(int, const char*, int, const char*, unsigned int)>("renameat2");
    return guardedRename(fromDir, from, toDir, to) != 0 ? -1
                                                        : next(fromDir, from, toDir, to, flags);
}

int close(int fd) {
    static const auto next = real<int (*)(int)>("close");
    // Only a close after writing can report a late write error.
    const bool strike = counted(faultInjection::Call::Close) &&
                        (::fcntl(fd, F_GETFL) & O_ACCMODE) != O_RDONLY && fdBelow(fd) &&
                        strikes(faultInjection::Call::Close);
    const int result = next(fd);
    // The descriptor is gone either way, as after a close that reports a late write error.
    return strike ? failWith(EIO) : result;
}

int open64(const char* path, int flags, ...) {
    static const auto next = real<int (*)(const char*, int, ...)>("open64");
    va_list args;
    va_start(args, flags);
    const int mode = openFlagsMode(flags, args);
    va_end(args);
    return guardedOpen(AT_FDCWD, path, flags) != 0 ? -1 : next(path, flags, mode);
}

int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const int mode = openFlagsMode(flags, args);
    va_end(args);
    return open64(path, flags, mode);
}

int openat64(int dirfd, const char* path, int flags, ...) {
    static const auto next = real<int (*)(int, const char*, int, ...)>("openat64");
    va_list args;
    va_start(args, flags);
    const int mode = openFlagsMode(flags, args);
    va_end(args);
    return guardedOpen(dirfd, path, flags) != 0 ? -1 : next(dirfd, path, flags, mode);
}

int openat(int dirfd, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const int mode = openFlagsMode(flags, args);
    va_end(args);
    return openat64(dirfd, path, flags, mode);
}

int mkostemp64(char* pattern, int flags) {
    static const auto next = real<int (*)(char*, int)>("mkostemp64");
    return guardedTemp(pattern) != 0 ? -1 : next(pattern, flags);
}

int mkostemp(char* pattern, int flags) {
    return mkostemp64(pattern, flags);
}

int mkstemp64(char* pattern) {
    return mkostemp64(pattern, 0);
}

int mkstemp(char* pattern) {
    return mkostemp64(pattern, 0);
}

}  // extern "C"
