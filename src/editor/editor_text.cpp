#include "editor_text.h"

#include <QTextDocument>

namespace {

constexpr int kLinesPerParagraph = 32;
constexpr qsizetype kLongTextLines = 4096;

}  // namespace

QString editorText(const QString& text) {
    const bool longText = text.count(u'\n') > kLongTextLines;
    QString out(text.size(), Qt::Uninitialized);
    QChar* to = out.data();
    int lines = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
            c = u'\n';
        }
        if (c == u'\n' && longText && ++lines % kLinesPerParagraph != 0) {
            c = QChar::LineSeparator;
        }
        *to++ = c;
    }
    out.truncate(to - out.data());
    return out;
}

QString fileText(const QTextDocument& document) {
    QString text = document.toRawText();
    for (QChar& c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            c = u'\n';
        }
    }
    return text;
}
