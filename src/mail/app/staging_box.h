#pragma once

#include <QString>
#include <QWidget>

// A multi-line text box that is never shown: the mail check stages a received mail's body
// in it before the record is written. It keeps the text with CR LF line ends, as a text
// box would, but without the text layout that an editor redoes on every change, which
// would cost more than fetching the mail.
class StagingBox : public QWidget {
    Q_OBJECT

  public:
    explicit StagingBox(QWidget* parent = nullptr);

    const QString& Text() const { return text_; }
    void SetText(const QString& text);

  private:
    QString text_;
};
