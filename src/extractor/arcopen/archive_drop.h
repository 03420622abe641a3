#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// A dropped archive path split as Arcopen names its target: the folder keeps its trailing
// separator, the base name loses the extension (everything after the last dot of the file
// name; a name without a dot is kept whole). Backslash and slash both separate.
struct DroppedArchive {
    QString folder;
    QString baseName;
};

DroppedArchive splitDroppedPath(const QString& path);

// False when the base name cannot name a folder of its own: empty (".lzh"), "." ("..lzh")
// or ".." ("...lzh") would make the target the archive's folder or the one above it.
bool namesOwnFolder(const DroppedArchive& parts);

// x -d1 -y1 "C:\dl\file.lzh" "C:\dl\file"\ *.*
QString unlhaCommandLine(const QString& path);

// The command line as the module takes it: in code page 932, or, when a path holds
// characters that code page lacks, in UTF-8 behind a byte-order mark.
QByteArray unlhaCommandBytes(const QString& commandLine);

// Extracting(1/2):C:\dl\file.lzh
QString extractingStatus(int index, int count, const QString& path);

struct FailedArchive {
    QString path;
    // The module's result; nothing when the archive was not handed to it because its name
    // does not name a folder of its own.
    std::optional<qint32> result;
    // What the module names as failed; shown for a file it could not write.
    QString detail;
};

// The failure box text. One dropped archive: a line in words on what happened and what to
// do, then "解凍に失敗しました。Error Code:0x" and the result in upper-case hexadecimal, or,
// for an archive whose name was refused, the folder it would have gone to; after a file
// that could not be written, that file and the system's reason. Several: those
// two lines per failed archive, the first after the archive's path, so an early failure is
// not hidden by a later success.
QString failureMessage(const QList<FailedArchive>& failures, int droppedCount);
