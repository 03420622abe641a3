#include "lha_reader.h"

#include <archive.h>
#include <archive_entry.h>

#include <QFile>

#include "stored_name.h"
#include "unlha_result.h"

namespace {

constexpr size_t kReadBlockBytes = 64 * 1024;

// A file that libarchive does not recognise is still an LHA archive without entries when
// it is empty or holds the lone end mark of one, and a damaged one when its first header starts
// like an LHA header ("-lh5-", "-lzs-" at offset 2).
enum class Unrecognised { EmptyArchive, DamagedArchive, NotAnArchive };

Unrecognised sniff(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return Unrecognised::NotAnArchive;
    }
    const QByteArray start = file.read(7);
    if (file.atEnd() && (start.isEmpty() || start == QByteArrayView("\0", 1))) {
        return Unrecognised::EmptyArchive;
    }
    if (start.size() == 7 && start.at(2) == '-' && start.at(3) == 'l' && start.at(6) == '-') {
        return Unrecognised::DamagedArchive;
    }
    return Unrecognised::NotAnArchive;
}

}  // namespace

LhaReader::LhaReader(const QString& path, Names names)
    : path_(path), names_(names), archive_(archive_read_new()) {
    archive_read_support_format_lha(archive_);
    if (names == Names::StoredBytes) {
        archive_read_set_format_option(archive_, "lha", "hdrcharset", "ISO-8859-1");
    }
    opened_ = archive_read_open_filename(archive_, QFile::encodeName(path).constData(),
                                         kReadBlockBytes) == ARCHIVE_OK;
}

LhaReader::~LhaReader() {
    archive_read_free(archive_);
}

LhaReader::Step LhaReader::next() {
    if (!opened_) {
        return unopenedStep();
    }
    const int status = archive_read_next_header(archive_, &entry_);
    if (status == ARCHIVE_EOF) {
        return Step::End;
    }
    if (status != ARCHIVE_OK) {
        if (!headerRead_ && archive_format(archive_) == 0) {
            return unopenedStep();
        }
        return fail(readFailure(kUnlhaCorrupt));
    }
    headerRead_ = true;
    return Step::Entry;
}

LhaReader::Step LhaReader::unopenedStep() {
    detail_ = QString::fromUtf8(archive_error_string(archive_));
    switch (sniff(path_)) {
        case Unrecognised::EmptyArchive:
            return Step::End;
        case Unrecognised::DamagedArchive:
            return fail(kUnlhaCorrupt);
        case Unrecognised::NotAnArchive:
            break;
    }
    return fail(kUnlhaNotAnArchive);
}

LhaReader::Step LhaReader::fail(qint32 code) {
    failure_ = code;
    return Step::Failed;
}

qint32 LhaReader::readFailure(qint32 fallback) {
    const char* words = archive_error_string(archive_);
    detail_ = QString::fromUtf8(words ? words : "");
    // libarchive names an unknown method only in its message ("Unsupported lzh
    // compression method -lh1-").
    failure_ = detail_.startsWith(u"Unsupported") ? kUnlhaUnsupportedMethod : fallback;
    return failure_;
}

QString LhaReader::decoded(const char* utf8) const {
    const QString text = QString::fromUtf8(utf8 ? utf8 : "");
    return names_ == Names::StoredBytes ? decodeStoredName(text) : text;
}

QString LhaReader::name() const {
    return decoded(archive_entry_pathname_utf8(entry_));
}

QString LhaReader::linkTarget() const {
    return decoded(archive_entry_symlink_utf8(entry_));
}

LhaReader::Kind LhaReader::kind() const {
    if (archive_entry_hardlink(entry_) != nullptr) {
        return Kind::Link;
    }
    switch (archive_entry_filetype(entry_)) {
        case AE_IFDIR:
            return Kind::Folder;
        case AE_IFREG:
            return Kind::File;
        case AE_IFLNK:
            return Kind::Link;
        default:
            return Kind::Other;
    }
}

QDateTime LhaReader::modified() const {
    if (!archive_entry_mtime_is_set(entry_)) {
        return {};
    }
    return QDateTime::fromSecsSinceEpoch(archive_entry_mtime(entry_));
}

qint32 LhaReader::copyData(const std::function<bool(const char*, qsizetype)>& sink) {
    for (;;) {
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        const int status = archive_read_data_block(archive_, &block, &size, &offset);
        if (status == ARCHIVE_EOF) {
            return kUnlhaSuccess;
        }
        if (status != ARCHIVE_OK) {
            return readFailure(kUnlhaCorrupt);
        }
        if (!sink(static_cast<const char*>(block), static_cast<qsizetype>(size))) {
            failure_ = kUnlhaCannotWrite;
            return failure_;
        }
    }
}

qint32 LhaReader::skipData() {
    return archive_read_data_skip(archive_) == ARCHIVE_OK ? kUnlhaSuccess
                                                          : readFailure(kUnlhaCorrupt);
}
