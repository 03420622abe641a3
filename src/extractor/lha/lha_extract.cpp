#include "lha_extract.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include "created_folders.h"
#include "durable_file.h"
#include "entry_path.h"
#include "failure_detail.h"
#include "lha_reader.h"
#include "record_file.h"
#include "target_folder.h"
#include "unlha_command.h"
#include "unlha_result.h"

namespace {

struct ScannedEntry {
    QString name;
    LhaReader::Kind kind;
    QString linkTarget;
};

struct PlannedEntry {
    QStringList path;
    bool write;  // a selected folder or file; everything else is read past
};

UnlhaOutcome failure(qint32 code, const QString& detail) {
    return {code, detail};
}

// Reads every header (skipping the data) and records the names.
UnlhaOutcome scan(const QString& archivePath, LhaReader::Names names,
                  QList<ScannedEntry>& entries) {
    LhaReader reader(archivePath, names);
    for (;;) {
        switch (reader.next()) {
            case LhaReader::Step::End:
                return {kUnlhaSuccess, {}};
            case LhaReader::Step::Failed:
                return failure(reader.failure(), reader.failureDetail());
            case LhaReader::Step::Entry:
                break;
        }
        entries.append({reader.name(), reader.kind(), reader.linkTarget()});
        if (reader.skipData() != kUnlhaSuccess) {
            return failure(reader.failure(), reader.failureDetail());
        }
    }
}

// Finds links already on disk in an entry's way, and files the command may not replace.
class DiskCheck {
  public:
    DiskCheck(const QString& target, bool overwrite) : target_(target), overwrite_(overwrite) {}

    UnlhaOutcome check(const QStringList& path, bool isFile) {
        QString native = target_;
        for (qsizetype i = 0; i < path.size(); ++i) {
            native += u'/' + path.at(i);
            if (seen_.contains(native)) {
                continue;
            }
            seen_.insert(native);
            const QFileInfo info(native);
            if (info.isSymLink()) {
                return failure(kUnlhaUnsafeEntry, native);
            }
            const bool last = i == path.size() - 1;
            if (info.exists() && last && isFile && (info.isDir() || !overwrite_)) {
                return failure(kUnlhaCannotWrite, native);
            }
            if (info.exists() && !last && !info.isDir()) {
                return failure(kUnlhaCannotWrite, native);
            }
        }
        return {kUnlhaSuccess, {}};
    }

  private:
    QString target_;
    bool overwrite_;
    QSet<QString> seen_;
};

UnlhaOutcome plan(const UnlhaCommand& command, const QList<ScannedEntry>& scanned,
                  QList<PlannedEntry>& planned) {
    DiskCheck disk(command.targetFolder, command.overwrite);
    for (const ScannedEntry& entry : scanned) {
        const std::optional<QStringList> path = safeEntryPath(entry.name);
        if (!path) {
            return failure(kUnlhaUnsafeEntry, entry.name);
        }
        if (entry.kind == LhaReader::Kind::Link && !linkStaysInside(*path, entry.linkTarget)) {
            return failure(kUnlhaUnsafeEntry,
                           entry.name + QStringLiteral(" -> ") + entry.linkTarget);
        }
        const bool isFile = entry.kind == LhaReader::Kind::File;
        const bool write = (isFile || entry.kind == LhaReader::Kind::Folder) && !path->isEmpty() &&
                           selectsEntry(command, path->join(u'/'));
        if (write) {
            const UnlhaOutcome onDisk = disk.check(*path, isFile);
            if (onDisk.code != kUnlhaSuccess) {
                return onDisk;
            }
        }
        planned.append({*path, write});
    }
    return {kUnlhaSuccess, {}};
}

UnlhaOutcome prepareTarget(const UnlhaCommand& command, CreatedFolders& folders) {
    const QFileInfo target(command.targetFolder);
    if (target.isDir()) {
        return {kUnlhaSuccess, {}};
    }
    if (!target.exists() && command.createTarget && folders.make(command.targetFolder)) {
        return {kUnlhaSuccess, {}};
    }
    return failure(kUnlhaCannotWrite, command.targetFolder);
}

// The folders whose entries an extraction changed: each file's and each created folder's
// parent, synced once at the end rather than after every file.
class TouchedFolders {
  public:
    explicit TouchedFolders(const QString& target) : target_(target) {}

    // The target folder, its parent (it may have been created) and every folder on the
    // way down to `folder`.
    void add(const QStringList& folder) {
        QString path = target_;
        folders_.insert(QFileInfo(target_).absolutePath());
        folders_.insert(path);
        for (const QString& part : folder) {
            path += u'/' + part;
            folders_.insert(path);
        }
    }

    UnlhaOutcome sync() const {
        for (const QString& folder : folders_) {
            if (!SyncFolder(folder)) {
                return failure(kUnlhaCannotWrite, fileAndReason(folder, systemReason()));
            }
        }
        return {kUnlhaSuccess, {}};
    }

  private:
    QString target_;
    QSet<QString> folders_;
};

// The file goes to a temporary name beside its own and takes that name only once its data
// was written whole and read from the archive without a fault, so a failure leaves no file under
// the name (and a file it was to replace, as it was).
UnlhaOutcome writeFile(LhaReader& reader, const QString& destination, CreatedFolders& folders) {
    if (!folders.make(QFileInfo(destination).path())) {
        return failure(kUnlhaCannotWrite, QDir::toNativeSeparators(destination));
    }
    DurableFile out(destination);
    if (!out.open()) {
        return failure(kUnlhaCannotWrite, fileAndReason(destination, out.errorString()));
    }
    const qint32 copied = reader.copyData([&out](const char* data, qsizetype size) {
        return out.write({data, size});
    });
    if (copied == kUnlhaCannotWrite) {
        return failure(copied, fileAndReason(destination, out.errorString()));
    }
    if (copied != kUnlhaSuccess) {
        return failure(copied, reader.failureDetail());
    }
    out.setModificationTime(reader.modified());
    if (!out.commit(FolderSync::Later)) {
        return failure(kUnlhaCannotWrite, fileAndReason(destination, out.errorString()));
    }
    return {kUnlhaSuccess, {}};
}

UnlhaOutcome extract(const UnlhaCommand& command, LhaReader::Names names,
                     const QList<PlannedEntry>& planned, CreatedFolders& folders) {
    LhaReader reader(command.archive, names);
    TouchedFolders touched(command.targetFolder);
    for (const PlannedEntry& entry : planned) {
        const LhaReader::Step step = reader.next();
        if (step != LhaReader::Step::Entry) {
            return failure(step == LhaReader::Step::Failed ? reader.failure() : kUnlhaCorrupt,
                           reader.failureDetail());
        }
        const QString destination = command.targetFolder + u'/' + entry.path.join(u'/');
        UnlhaOutcome done{kUnlhaSuccess, {}};
        if (entry.write && reader.kind() == LhaReader::Kind::File) {
            done = writeFile(reader, destination, folders);
            touched.add(entry.path.mid(0, entry.path.size() - 1));
        } else {
            if (entry.write && !folders.make(destination)) {
                return failure(kUnlhaCannotWrite, QDir::toNativeSeparators(destination));
            }
            if (entry.write) {
                touched.add(entry.path);
            }
            if (reader.skipData() != kUnlhaSuccess) {
                done = failure(reader.failure(), reader.failureDetail());
            }
        }
        if (done.code != kUnlhaSuccess) {
            return done;
        }
    }
    return touched.sync();
}

}  // namespace

UnlhaOutcome extractArchive(const UnlhaCommand& command) {
    const QFileInfo archive(command.archive);
    if (!archive.isFile() || !archive.isReadable()) {
        return failure(kUnlhaCannotOpen, command.archive);
    }
    if (!isSafeTarget(command.archive, command.targetFolder)) {
        return failure(kUnlhaUnsafeTarget, command.targetFolder);
    }
    // Names stored as UTF-8 or with a Unicode or code-page header are converted by
    // libarchive; bare Shift_JIS names make that fail, and the archive is read again with
    // the names taken byte for byte.
    LhaReader::Names names = LhaReader::Names::Converted;
    QList<ScannedEntry> scanned;
    UnlhaOutcome outcome = scan(command.archive, names, scanned);
    if (outcome.code != kUnlhaSuccess) {
        names = LhaReader::Names::StoredBytes;
        scanned.clear();
        outcome = scan(command.archive, names, scanned);
    }
    QList<PlannedEntry> planned;
    if (outcome.code == kUnlhaSuccess) {
        outcome = plan(command, scanned, planned);
    }
    CreatedFolders folders;
    if (outcome.code == kUnlhaSuccess) {
        outcome = prepareTarget(command, folders);
    }
    if (outcome.code == kUnlhaSuccess) {
        outcome = extract(command, names, planned, folders);
    }
    if (outcome.code != kUnlhaSuccess) {
        folders.removeEmpty();
    }
    return outcome;
}
