#pragma once

#include <QFont>
#include <QList>
#include <QString>

class QPageRanges;
class QPrinter;

struct PrintOutcome {
    // Pages each copy printed: 0, and nothing printed, when the chosen pages all lie beyond
    // the text.
    int pages = 0;
    // The copy (counted from 1) that the printer did not take, after which none was tried; 0
    // when every copy was printed.
    int failedCopy = 0;
};

// Prints `text` in `font` (bold and italic carried over, underline not), `copies` times, each
// copy as a print job of its own: the pages chosen in the print dialog only, inside margins of
// at least 20 mm, each page numbered at its foot as "2 / 5". When the
// printer writes to a file, the copies after the first go to files of their own
// ("name-2.pdf", "name-3.pdf", …) instead of replacing it.
PrintOutcome printCopies(QPrinter& printer, const QString& text, const QFont& font, int copies);

// The pages of a text of `pageCount` pages that `chosen` asks for, in order; all of them when
// `chosen` is empty.
QList<int> pagesToPrint(const QPageRanges& chosen, int pageCount);

// The file that copy `copy` (counted from 1) of a job printed to `fileName` goes to.
QString copyFileName(const QString& fileName, int copy);
