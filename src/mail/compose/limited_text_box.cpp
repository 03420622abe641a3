#include "compose/limited_text_box.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>

#include <algorithm>

#include "compose/typing_room.h"

namespace {

qsizetype countedLength(QStringView text) {
    // A selection shows line ends as paragraph or line separators, the text as LF.
    return text.size() + text.count(u'\n') + text.count(QChar::ParagraphSeparator) +
           text.count(QChar::LineSeparator);
}

}  // namespace

LimitedTextBox::LimitedTextBox(int maxLength, QWidget* parent)
    : TextBox(parent), maxLength_(maxLength) {}

qsizetype LimitedTextBox::room() const {
    const qsizetype used = countedLength(toPlainText());
    const qsizetype replaced = countedLength(textCursor().selectedText());
    return std::max<qsizetype>(0, maxLength_ - (used - replaced));
}

QString LimitedTextBox::fitted(const QString& text) const {
    return fitToRoom(text, room(), true);
}

void LimitedTextBox::keyPressEvent(QKeyEvent* event) {
    const bool lineEnd = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QString typed = lineEnd ? QStringLiteral("\n") : event->text();
    const bool inserts =
        lineEnd || (!typed.isEmpty() && (typed.front().isPrint() || typed.front() == u'\t'));
    if (inserts && !(event->modifiers() & Qt::ControlModifier) && fitted(typed) != typed) {
        event->accept();
        return;
    }
    TextBox::keyPressEvent(event);
}

qsizetype LimitedTextBox::replacedLength(const QInputMethodEvent& event) const {
    // The box drops the selection first, then the range around the cursor; a range that
    // leaves the text is not applied.
    const QTextCursor cursor = textCursor();
    const QString remaining = toPlainText().remove(cursor.selectionStart(),
                                                   cursor.selectionEnd() - cursor.selectionStart());
    const auto inText = [&](qsizetype position) {
        return position >= 0 && position <= remaining.size();
    };
    qsizetype start = cursor.selectionStart();
    if (inText(start + event.replacementStart())) {
        start += event.replacementStart();
    }
    const qsizetype end =
        inText(start + event.replacementLength()) ? start + event.replacementLength() : start;
    return countedLength(QStringView(remaining).sliced(start, end - start));
}

void LimitedTextBox::inputMethodEvent(QInputMethodEvent* event) {
    QString commit = event->commitString();
    // Each CR LF or lone CR becomes one line break, as a paste does.
    commit.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    commit = fitToRoom(commit, room() + replacedLength(*event), true);
    if (commit == event->commitString()) {
        TextBox::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent cut(event->preeditString(), event->attributes());
    cut.setCommitString(commit, event->replacementStart(), event->replacementLength());
    TextBox::inputMethodEvent(&cut);
}

void LimitedTextBox::insertFromMimeData(const QMimeData* source) {
    if (source == nullptr || !source->hasText()) {
        return;
    }
    QString text = source->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    insertPlainText(fitted(text));
}
