#include "editor_text.h"

#include <QList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <array>

#include "file_text_edit.h"

namespace {

constexpr int kLinesPerParagraph = 32;
constexpr qsizetype kLongTextLines = 4096;

// A break is marked by the object type of its format: typed text (and a FileTextEdit's entered
// and pasted text) takes over the format of the text before it without the object type, so a
// mark stays on the break it was set on, and undo and redo bring it back with the break.
constexpr int kMarkedBreak = QTextFormat::UserObject + 0x2028;
constexpr std::array<QStringView, 7> kWrittenBreaks = {u"\r\n",   u"\n",     u"\r",    u"\u2028",
                                                       u"\u2029", u"\uFDD0", u"\uFDD1"};

QTextCharFormat markOf(QStringView written) {
    QTextCharFormat format;
    format.setObjectType(kMarkedBreak + static_cast<int>(std::find(kWrittenBreaks.begin(),
                                                                   kWrittenBreaks.end(), written) -
                                                         kWrittenBreaks.begin()));
    return format;
}

QStringView writtenAs(const QTextFormat& format, QStringView unmarked) {
    const int index = format.objectType() - kMarkedBreak;
    return index >= 0 && index < static_cast<int>(kWrittenBreaks.size()) ? kWrittenBreaks[index]
                                                                         : unmarked;
}

struct Mark {
    int position;
    QStringView written;
};

qsizetype breakCount(QStringView text) {
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QStringView written = breakAt(text, i);
        if (!written.isEmpty()) {
            ++count;
            i += written.size() - 1;
        }
    }
    return count;
}

// The text with each line break as one "\n" (or U+2028 in a long text), and the places of the
// breaks written otherwise than `lineEnd`.
QString editorText(QStringView text, LineEnd lineEnd, QList<Mark>* marks) {
    const QStringView end = lineEndText(lineEnd);
    const bool longText = breakCount(text) > kLongTextLines;
    QString out(text.size(), Qt::Uninitialized);
    QChar* to = out.data();
    int lines = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QStringView written = breakAt(text, i);
        if (written.isEmpty()) {
            *to++ = text[i];
            continue;
        }
        i += written.size() - 1;
        if (written != end) {
            marks->append({static_cast<int>(to - out.data()), written});
        }
        *to++ = longText && ++lines % kLinesPerParagraph != 0 ? QChar(QChar::LineSeparator)
                                                              : QChar(u'\n');
    }
    out.truncate(to - out.data());
    return out;
}

}  // namespace

void setFileText(FileTextEdit& editor, const QString& text, LineEnd lineEnd) {
    QList<Mark> marks;
    editor.setPlainText(editorText(text, lineEnd, &marks));
    if (marks.isEmpty()) {
        return;
    }
    // The marks belong to the loaded text: nothing to undo.
    QTextDocument* document = editor.document();
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (const Mark& mark : marks) {
        cursor.setPosition(mark.position);
        cursor.setPosition(mark.position + 1, QTextCursor::KeepAnchor);
        cursor.setCharFormat(markOf(mark.written));
    }
    cursor.endEditBlock();
    document->setUndoRedoEnabled(undo);
}

QString fileText(const QTextDocument& document, LineEnd lineEnd) {
    const QStringView end = lineEndText(lineEnd);
    QString text;
    text.reserve(document.characterCount());
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString characters = fragment.text();
            if (!characters.contains(QChar::LineSeparator)) {
                text += characters;
                continue;
            }
            const QStringView lineBreak = writtenAs(fragment.charFormat(), end);
            for (QChar c : characters) {
                if (c == QChar::LineSeparator) {
                    text += lineBreak;
                } else {
                    text += c;
                }
            }
        }
        // A paragraph's own format is that of the break before it.
        const QTextBlock next = block.next();
        if (next.isValid()) {
            text += writtenAs(next.charFormat(), end);
        }
    }
    return text;
}
