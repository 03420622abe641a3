#include "text_printing.h"

#include <QFileInfo>
#include <QPrinter>
#include <QTextDocument>

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

void printCopies(QPrinter& printer, const QString& text, const QFont& font, int copies) {
    QFont printFont = font;
    printFont.setUnderline(false);
    QTextDocument document;
    document.setDefaultFont(printFont);
    document.setPlainText(text);
    const QString fileName = printer.outputFileName();
    for (int copy = 1; copy <= copies; ++copy) {
        if (!fileName.isEmpty()) {
            printer.setOutputFileName(copyFileName(fileName, copy));
        }
        document.print(&printer);
    }
    printer.setOutputFileName(fileName);
}
