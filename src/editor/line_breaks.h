#pragma once

#include <QString>
#include <QStringView>

// How a file ends its lines. A file keeps its own way when it is saved again; a new file ends
// its lines with CR LF, as the suite writes its files.
enum class LineEnd { CrLf, Lf, Cr };

QStringView lineEndText(LineEnd lineEnd);

// The line end that most of the text's lines end with; of two as common, the one met first;
// CR LF for a text of one line.
LineEnd lineEndOf(QStringView text);

// The line break that starts at `i` as the file writes it: CR LF, CR, LF, or one of U+2028,
// U+2029, U+FDD0 and U+FDD1, which the editor can only show as line breaks. Empty when no
// break starts there.
QStringView breakAt(QStringView text, qsizetype i);
