#pragma once

#include <QString>

// The start of `text` that fits into `room` characters of a limited box, as a Windows edit
// control's limit cuts what is typed, pasted or composed. With `lineEndIsTwo` a line end
// counts as CR LF, two characters. A surrogate pair is never split.
QString fitToRoom(const QString& text, qsizetype room, bool lineEndIsTwo);
