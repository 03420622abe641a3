#pragma once

#include <QString>

#include "line_breaks.h"

class FileTextEdit;
class QTextDocument;

// A file's text in the editor. The editor's document keeps no line break as it was written: CR
// LF, CR, LF, U+2029, U+FDD0 and U+FDD1 all end a paragraph, U+2028 breaks a line inside one.
// So each break that the file writes otherwise than its own line end is marked where it stands
// and written back as it was; a break typed or pasted is written as the file's line end.
//
// The document spends microseconds on every paragraph, so a long text keeps one paragraph per
// 32 lines and breaks the lines inside it with soft line breaks (U+2028), which show, count,
// search, copy and save like any other line break.

// Replaces the editor's text with a file's text whose lines end with `lineEnd`.
void setFileText(FileTextEdit& editor, const QString& text, LineEnd lineEnd);

// The document's text as its file holds it: the marked breaks as they were read, every other
// line break as `lineEnd`, every other character as typed (the document's own plain text turns
// no-break spaces into spaces).
QString fileText(const QTextDocument& document, LineEnd lineEnd);
