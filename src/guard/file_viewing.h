#pragma once

#include <QString>
#include <QStringView>

// How a chosen file is looked at. Pictures go to the picture view; HTML and text show in
// the embedded viewer; anything else is only opened or copied at the user's word.

// The full path of `name` in `folder`, with a single separator also after a root ("/",
// "C:\").
QString joinFolderAndName(QStringView folder, QStringView name);

enum class ViewKind { Html, Text, Other };

// Decided by the file's type (its name first, then its content), never by running it.
ViewKind viewKindOf(const QString& path);

// A text file's content: UTF-8 when it is valid UTF-8, code page 932 otherwise.
QString readTextForViewing(const QString& path);

// Copies `source` to `target` through a temporary file renamed only when complete, so a
// failed copy leaves any old target whole. Returns an empty string or what went wrong.
QString copyFileSafely(const QString& source, const QString& target);
