#pragma once

#include <QString>

class QTextDocument;

// The text as the editor holds it: line breaks as "\n", CR LF and lone CR included. The editor's
// document spends microseconds on every paragraph, so a long text keeps one paragraph per
// 32 lines and breaks the lines inside it with soft line breaks (U+2028), which show, count,
// search, copy and save like any other line break.
QString editorText(const QString& text);

// The document's text for a file: every line break as "\n" and every other character as
// typed (the document's own plain text turns no-break spaces into spaces).
QString fileText(const QTextDocument& document);
