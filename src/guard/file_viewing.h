#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include "regular_file.h"

// How a chosen file is looked at. Pictures go to the picture view; HTML and text show in
// the embedded viewer; anything else is only opened or copied at the user's word.

// A picture file is read whole only up to this size; a larger one is handed on like any
// other file.
inline constexpr qint64 kPictureLimit = qint64(32) << 20;
// Text and pages show up to this many bytes, under a note that the rest was left out.
inline constexpr qint64 kShownTextLimit = qint64(1) << 20;

// The full path of `name` in `folder`, with a single separator also after a root ("/",
// "C:\").
QString joinFolderAndName(QStringView folder, QStringView name);

enum class ViewKind { Html, Text, Other };

// Decided by the file's name and its first bytes, never by running it.
ViewKind viewKindOf(const QString& path, const QByteArray& head);

// The note above a text or page that was cut at kShownTextLimit.
QString cutNotice();

// A text file's content: UTF-8 when it is valid UTF-8, code page 932 otherwise; beyond
// kShownTextLimit it is cut, after the note that says so.
QString textForViewing(const FileHead& head);

// Copies `source` to `target` through a temporary file that every write and the sync
// checked and that is renamed only when complete, so a failed copy leaves any old target
// whole and no temporary file. Returns an empty string or what went wrong.
QString copyFileSafely(const QString& source, const QString& target);
