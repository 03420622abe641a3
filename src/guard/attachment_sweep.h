#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>

#include "file_name_pattern.h"
#include "keyword_record.h"

// The deletion of registered attachment names from the attachment folder.

// The fifty keyword slots: the keyword of record i + 1 without its trailing spaces in
// slot i; slots beyond the last record stay empty.
using KeywordSlots = std::array<QString, 50>;
KeywordSlots readKeywordSlots(const KeywordStore& store);

// A keyword names one file of the folder itself: one holding a path separator or a NUL,
// or one that is "." or "..", can never match, so no keyword reaches outside the
// attachment folder. Dots inside a name ("invoice.pdf..exe") are ordinary characters.
bool isPlainFileName(QStringView keyword);

// A file the keyword's sweep deletes: one whose name the keyword matches, or a numbered
// copy the mail check made of such a name ("invoice(2).exe" for "invoice.exe").
bool sweepTakes(QStringView keyword, QStringView name);

struct SweepResult {
    // Keywords whose files were all deleted; each counts once however many it matched.
    int deletedKeywords = 0;
    // Matching files that could not be deleted: each one's path with the reason.
    QStringList failures;
};

// Sweeps the slots in order, stopping at the first blank one. Links in the folder are
// removed themselves, never followed; folders never match.
SweepResult sweepAttachments(const QString& attachmentFolder, const KeywordSlots& keywords);
