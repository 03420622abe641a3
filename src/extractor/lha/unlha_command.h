#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

// What an `Unlha` command line asks for. The module understands the form
//   x [-d1] [-y1] "archive" "target folder"\ [pattern ...]
// in code page 932, or in UTF-8 when the line starts with the UTF-8 byte-order mark (for
// paths with characters the code page lacks): "x" extracts every entry with its folders; "-d1"
// creates the target folder when it is missing; "-y1" overwrites existing files (without it an
// existing file fails the archive before anything is written). A folder argument ends with a
// backslash, which may stand after the closing quote. No pattern, "*" or "*.*" selects every entry;
// another pattern selects entries whose path (or, for a pattern without a folder, whose
// file name) matches it.
struct UnlhaCommand {
    QString archive;
    QString targetFolder;  // without the trailing separator
    QStringList patterns;  // empty: every entry
    bool createTarget = false;
    bool overwrite = false;
};

std::optional<UnlhaCommand> parseUnlhaCommand(QByteArrayView commandLine);

// True when `entryPath` ("/"-separated, below the target) is selected by the command.
bool selectsEntry(const UnlhaCommand& command, const QString& entryPath);
