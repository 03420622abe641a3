#pragma once

#include <QFont>
#include <QString>

class QPrinter;

// Prints `text` in `font` (bold and italic carried over, underline not), `copies` times, each
// copy as a print job of its own. When the printer writes to a file, the copies after the
// first go to files of their own ("name-2.pdf", "name-3.pdf", …) instead of replacing it.
void printCopies(QPrinter& printer, const QString& text, const QFont& font, int copies);

// The file that copy `copy` (counted from 1) of a job printed to `fileName` goes to.
QString copyFileName(const QString& fileName, int copy);
