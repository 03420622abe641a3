#include "app/text_box.h"

#include <QKeyEvent>

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent) {}

QString TextBox::Text() const {
    QString text = toPlainText();
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

void TextBox::SetText(const QString& text) {
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    setPlainText(plain);
}

void TextBox::moveFocusOnTab(bool ctrlTabTypesTab) {
    setTabChangesFocus(true);
    ctrlTabTypesTab_ = ctrlTabTypesTab;
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    if (ctrlTabTypesTab_ && !isReadOnly() && event->key() == Qt::Key_Tab &&
        event->modifiers() == Qt::ControlModifier) {
        // Typed as a plain Tab, so that a box with a length limit counts it too.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
        keyPressEvent(&tab);
        event->setAccepted(tab.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}
