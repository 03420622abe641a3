#pragma once

#include <QList>
#include <QString>

#include "durable_file.h"

// INI files with the semantics of Windows' private-profile functions: sections in square
// brackets, key=value lines, section and key names compared without regard to case, a
// missing file or key giving the default. Files are in code page 932 with CR LF lines.

// The value, at most 255 bytes long in the file's encoding (the 256-byte buffer of the
// Windows call less its terminator), cut at a character boundary; `defaultValue` when the
// file, the section or the key is missing.
QString GetPrivateProfileString(const QString& section, const QString& key,
                                const QString& defaultValue, const QString& path);

// The value read as an integer (leading blanks, a sign, decimal digits or "0x" hex digits;
// anything else ends the number, so a non-numeric value gives 0); `defaultValue` when the
// key is missing or empty.
int GetPrivateProfileInt(const QString& section, const QString& key, int defaultValue,
                         const QString& path);

// Sets one key, creating the file and section when needed and keeping every other line of
// the file; `access` says who may read a file it creates. False, with nothing written and
// the system's reason in `reason`, when the file exists and cannot be read whole, or cannot
// be written.
bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& path, FileAccess access = FileAccess::AsUsual,
                               QString* reason = nullptr);

struct ProfileSetting {
    QString key;
    QString value;
};

// Sets several keys of one section in a single replacement of the file: a failure leaves
// every one of them as it was, never some new beside some old.
bool WritePrivateProfileStrings(const QString& section, const QList<ProfileSetting>& settings,
                                const QString& path, FileAccess access = FileAccess::AsUsual,
                                QString* reason = nullptr);
