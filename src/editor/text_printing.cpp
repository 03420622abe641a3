#include "text_printing.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageRanges>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

namespace {

constexpr qreal kMinimumMarginMm = 20;

// Lays the text out in pages of the printer's printable area, a line's height kept free at
// the foot of each page for its number.
struct PagedText {
    QTextDocument document;
    QSizeF page;
    qreal footer = 0;
};

void layOut(PagedText& paged, QPrinter& printer, const QString& text, const QFont& font) {
    paged.document.documentLayout()->setPaintDevice(&printer);
    paged.document.setDefaultFont(font);
    paged.document.setPlainText(text);
    const QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
    paged.footer = 2 * QFontMetricsF(font, &printer).height();
    paged.page = QSizeF(area.width(), qMax<qreal>(1, area.height() - paged.footer));
    paged.document.setPageSize(paged.page);
}

void printPage(QPainter& painter, const PagedText& paged, int page, int pageCount) {
    const qreal top = (page - 1) * paged.page.height();
    painter.save();
    painter.translate(0, -top);
    const QRectF body(QPointF(0, top), paged.page);
    painter.setClipRect(body);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = body;
    context.palette.setColor(QPalette::Text, Qt::black);
    paged.document.documentLayout()->draw(&painter, context);
    painter.restore();
    const QRectF foot(0, paged.page.height(), paged.page.width(), paged.footer);
    painter.setPen(Qt::black);
    painter.drawText(foot, Qt::AlignCenter,
                     QString::number(page) + QStringLiteral(" / ") + QString::number(pageCount));
}

// False when the printer did not take the job: it could not start it (a file that cannot be
// written, a printer that refuses), refused a page, or failed to finish it.
bool printCopy(QPrinter& printer, const PagedText& paged, const QList<int>& pages, int pageCount,
               const QFont& font) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    painter.setFont(font);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0 && !printer.newPage()) {
            painter.end();
            return false;
        }
        printPage(painter, paged, pages[i], pageCount);
    }
    return painter.end() && printer.printerState() != QPrinter::Error &&
           printer.printerState() != QPrinter::Aborted;
}

}  // namespace

QString copyFileName(const QString& fileName, int copy) {
    if (copy <= 1) {
        return fileName;
    }
    const QFileInfo info(fileName);
    const QString suffix = info.suffix();
    const QString stem = suffix.isEmpty() ? fileName : fileName.chopped(suffix.size() + 1);
    const QString numbered = stem + u'-' + QString::number(copy);
    return suffix.isEmpty() ? numbered : numbered + u'.' + suffix;
}

QList<int> pagesToPrint(const QPageRanges& chosen, int pageCount) {
    QList<int> pages;
    for (int page = 1; page <= pageCount; ++page) {
        if (chosen.isEmpty() || chosen.contains(page)) {
            pages.append(page);
        }
    }
    return pages;
}

PrintOutcome printCopies(QPrinter& printer, const QString& text, const QFont& font, int copies) {
    // A printer's own margins are only what it cannot reach (3.5 mm for a PDF file).
    const QMarginsF margins = printer.pageLayout().margins(QPageLayout::Millimeter);
    printer.setPageMargins(
        QMarginsF(qMax(margins.left(), kMinimumMarginMm), qMax(margins.top(), kMinimumMarginMm),
                  qMax(margins.right(), kMinimumMarginMm),
                  qMax(margins.bottom(), kMinimumMarginMm)),
        QPageLayout::Millimeter);
    QFont printFont = font;
    printFont.setUnderline(false);
    PagedText paged;
    layOut(paged, printer, text, printFont);
    const int pageCount = paged.document.pageCount();
    const QList<int> pages = pagesToPrint(printer.pageRanges(), pageCount);
    PrintOutcome outcome;
    if (pages.isEmpty()) {
        return outcome;
    }
    outcome.pages = static_cast<int>(pages.size());
    const QString fileName = printer.outputFileName();
    for (int copy = 1; copy <= copies && outcome.failedCopy == 0; ++copy) {
        if (!fileName.isEmpty()) {
            printer.setOutputFileName(copyFileName(fileName, copy));
        }
        if (!printCopy(printer, paged, pages, pageCount, printFont)) {
            outcome.failedCopy = copy;
        }
    }
    printer.setOutputFileName(fileName);
    return outcome;
}
