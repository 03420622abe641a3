#pragma once

#include <QValidator>

// Limits what the user can type into a line box to `limit` characters, while text set by
// the program is kept whole (QLineEdit::setMaxLength would also cut that).
class TypingLimit : public QValidator {
    Q_OBJECT

  public:
    TypingLimit(int limit, QObject* parent);

    State validate(QString& input, int& position) const override;

  private:
    int limit_;
};
