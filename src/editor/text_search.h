#pragma once

#include <QString>

class QTextDocument;

// 0-based position of the first occurrence of `what` in `document` at or after position
// `from`, letter case and width significant; -1 when there is none or `what` is empty.
// Positions are the document's own (a line break counts as one character).
int findInDocument(const QTextDocument& document, const QString& what, int from);
