#include "app/text_box.h"

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
