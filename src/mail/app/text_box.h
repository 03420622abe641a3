#pragma once

#include <QPlainTextEdit>

// A multi-line text box whose text uses CR LF line ends, as the record files and the
// clipboard hand-over expect; Qt's editor itself works with LF.
class TextBox : public QPlainTextEdit {
    Q_OBJECT

  public:
    explicit TextBox(QWidget* parent = nullptr);

    QString Text() const;
    void SetText(const QString& text);
};
