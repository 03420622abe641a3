#include "text_search.h"

#include <QTextBlock>
#include <QTextDocument>

int findInDocument(const QTextDocument& document, const QString& what, int from) {
    if (what.isEmpty()) {
        return -1;
    }
    // The search box holds one line, so a match always lies inside one block.
    for (QTextBlock block = document.findBlock(qMax(0, from)); block.isValid();
         block = block.next()) {
        const qsizetype offset = qMax(0, from - block.position());
        const qsizetype found = block.text().indexOf(what, offset, Qt::CaseSensitive);
        if (found >= 0) {
            return block.position() + static_cast<int>(found);
        }
    }
    return -1;
}
