#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

struct archive;
struct archive_entry;

// An LHA archive read entry by entry through libarchive, with the LHA format alone enabled
// (a tar or zip renamed .lzh is not an archive here). Every warning counts as a failure:
// libarchive reports a CRC error or an unsupported method as a warning after the data.
class LhaReader {
  public:
    // How entry names are read: converted by libarchive (stored UTF-8, or a Unicode or
    // code-page header), or byte for byte and decoded here as code page 932.
    enum class Names { Converted, StoredBytes };
    enum class Kind { Folder, File, Link, Other };
    enum class Step { Entry, End, Failed };

    LhaReader(const QString& path, Names names);
    ~LhaReader();
    LhaReader(const LhaReader&) = delete;
    LhaReader& operator=(const LhaReader&) = delete;

    Step next();
    // After a Failed step or a failed copy: the result code and libarchive's words.
    qint32 failure() const { return failure_; }
    const QString& failureDetail() const { return detail_; }

    // The current entry.
    QString name() const;
    Kind kind() const;
    QString linkTarget() const;
    QDateTime modified() const;

    // Hands the current entry's data to `sink` block by block; kUnlhaSuccess, the read
    // failure, or kUnlhaCannotWrite when `sink` refuses a block.
    qint32 copyData(const std::function<bool(const char*, qsizetype)>& sink);
    qint32 skipData();

  private:
    Step fail(qint32 code);
    qint32 readFailure(qint32 fallback);
    Step unopenedStep();
    QString decoded(const char* utf8) const;

    QString path_;
    Names names_;
    archive* archive_ = nullptr;
    archive_entry* entry_ = nullptr;
    bool opened_ = false;
    bool headerRead_ = false;
    qint32 failure_ = 0;
    QString detail_;
};
