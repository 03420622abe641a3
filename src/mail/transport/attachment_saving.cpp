#include "transport/attachment_saving.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "transport/safe_file_name.h"

namespace {

// Gives up numbering after this many names, which only a hostile flood of equal names or
// a folder we cannot write reaches.
constexpr int kMaxNumber = 10000;

// Safe names never begin with a dot, so a temporary name never meets a real one.
const QString kPartPrefix = QStringLiteral(".quillpost-");
const QString kPartSuffix = QStringLiteral(".part");

enum class Placed { Done, Taken, Failed };

// Renames without replacing anything that is already there.
Placed placeWithoutReplacing(const QString& from, const QString& to) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0) {
        return Placed::Done;
    }
    if (errno == EEXIST) {
        return Placed::Taken;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return Placed::Failed;
    }
    // A file system without the no-replace rename: a hard link fails on an existing name.
    if (::link(source.constData(), target.constData()) != 0) {
        return errno == EEXIST ? Placed::Taken : Placed::Failed;
    }
    ::unlink(source.constData());
    return Placed::Done;
}

bool holdsExactly(const QString& path, const QByteArray& content) {
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile() || info.size() != content.size()) {
        return false;
    }
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.readAll() == content;
}

}  // namespace

AttachmentBatch::AttachmentBatch(QString folder) : folder_(std::move(folder)) {}

AttachmentBatch::~AttachmentBatch() {
    for (const Pending& pending : pending_) {
        QFile::remove(pending.tempPath);
    }
}

bool AttachmentBatch::add(const QString& suggestedName, const QByteArray& content) {
    const QString tempPath = QDir(folder_).filePath(
        kPartPrefix + QUuid::createUuid().toString(QUuid::Id128) + kPartSuffix);
    QFile file(tempPath);
    // NewOnly fails on any existing entry, links included, instead of replacing it.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        error_ = file.errorString();
        return false;
    }
    pending_.append({tempPath, safeFileName(suggestedName), content});
    if (file.write(content) != content.size() || !file.flush() || ::fdatasync(file.handle()) != 0) {
        error_ = file.errorString().isEmpty() ? QString::fromLocal8Bit(std::strerror(errno))
                                              : file.errorString();
        return false;
    }
    // A close can still report a write the disk did not take.
    file.close();
    if (file.error() != QFileDevice::NoError) {
        error_ = file.errorString();
        return false;
    }
    return true;
}

bool AttachmentBatch::publish() {
    while (!pending_.isEmpty()) {
        const Pending& pending = pending_.first();
        bool placed = false;
        for (int n = 1; n <= kMaxNumber && !placed; ++n) {
            const QString path =
                QDir(folder_).filePath(n == 1 ? pending.name : numberedFileName(pending.name, n));
            switch (placeWithoutReplacing(pending.tempPath, path)) {
                case Placed::Done:
                    published_.append(path);
                    created_.append(path);
                    placed = true;
                    break;
                case Placed::Taken:
                    if (holdsExactly(path, pending.content)) {
                        QFile::remove(pending.tempPath);
                        published_.append(path);
                        placed = true;
                    }
                    break;
                case Placed::Failed:
                    error_ = QString::fromLocal8Bit(std::strerror(errno));
                    withdraw();
                    return false;
            }
        }
        if (!placed) {
            error_ = QStringLiteral("too many files named %1").arg(pending.name);
            withdraw();
            return false;
        }
        pending_.removeFirst();
    }
    return true;
}

void AttachmentBatch::withdraw() {
    for (const QString& path : std::as_const(created_)) {
        QFile::remove(path);
    }
    created_.clear();
    published_.clear();
}

QString saveAttachment(const QString& folder, const QString& suggestedName,
                       const QByteArray& content, QString& error) {
    AttachmentBatch batch(folder);
    if (!batch.add(suggestedName, content) || !batch.publish()) {
        error = batch.error();
        return {};
    }
    return batch.published().value(0);
}

void removeLeftoverAttachmentParts(const QString& folder) {
    QDir dir(folder);
    const QStringList leftovers = dir.entryList({kPartPrefix + u'*' + kPartSuffix},
                                                QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : leftovers) {
        dir.remove(name);
    }
}
