#include "attachment_sweep.h"

#include "failure_detail.h"
#include "numbered_copy.h"

#include <QDir>
#include <QFile>

#include <algorithm>

KeywordSlots readKeywordSlots(const KeywordStore& store) {
    KeywordSlots keywords;
    std::size_t next = 0;
    store.file().ReadAll([&](qint16, const QByteArray& bytes) {
        QString keyword = KeywordRecord::fromBytes(bytes).Keyword;
        while (keyword.endsWith(u' ')) {
            keyword.chop(1);
        }
        keywords[next++] = keyword;
        return next < keywords.size();
    });
    return keywords;
}

bool isPlainFileName(QStringView keyword) {
    return !keyword.isEmpty() && keyword != u"." && keyword != u".." && !keyword.contains(u'/') &&
           !keyword.contains(u'\\') && !keyword.contains(QChar(u'\0'));
}

namespace {

// Only ASCII spaces make a slot blank, as they are all the padding of a record holds.
bool isBlank(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c == u' '; });
}

// Deletes every file of `names` that the keyword matches and takes it off the list; true
// when at least one was deleted and none refused.
bool sweepKeyword(const QDir& folder, const QString& keyword, QStringList& names,
                  QStringList& failures) {
    if (!isPlainFileName(keyword)) {
        return false;
    }
    bool deleted = false;
    bool refused = false;
    names.removeIf([&](const QString& name) {
        if (!sweepTakes(keyword, name)) {
            return false;
        }
        // Removing a link removes the link itself, never what it points to.
        QFile file(folder.filePath(name));
        if (file.remove()) {
            deleted = true;
            return true;
        }
        refused = true;
        failures.append(fileAndReason(file.fileName(), file.errorString()));
        return false;
    });
    return deleted && !refused;
}

}  // namespace

bool sweepTakes(QStringView keyword, QStringView name) {
    if (matchesFileName(keyword, name)) {
        return true;
    }
    const std::optional<QString> original = originalOfNumberedCopy(name);
    return original && matchesFileName(keyword, *original);
}

SweepResult sweepAttachments(const QString& attachmentFolder, const KeywordSlots& keywords) {
    SweepResult result;
    const QDir folder(attachmentFolder);
    // Listed once for all keywords. Files, hidden ones and dangling links included; a link
    // to a folder counts as a folder.
    QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& keyword : keywords) {
        if (isBlank(keyword)) {
            break;
        }
        if (sweepKeyword(folder, keyword, names, result.failures)) {
            ++result.deletedKeywords;
        }
    }
    return result;
}
