#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <ostream>

class TempAppFolder;

// The archives made for these tests (see make_test_archives.py).
QString testArchive(const QString& name);
// libarchive's own LHA samples, read where they lie, never copied into the project.
QString peerArchive(const QString& name);

// Copies `source` into the folder as `name`; the path of the copy.
QString placeArchive(const TempAppFolder& folder, const QString& source, const QString& name);

// The command line Arcopen passes, for an archive and a target folder.
QByteArray extractCommand(const QString& archive, const QString& target,
                          const QString& switches = QStringLiteral("-d1 -y1"));

// Everything below `folder`, "/"-separated and sorted; folders end with "/".
QStringList treeOf(const QString& folder);

// Test failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
