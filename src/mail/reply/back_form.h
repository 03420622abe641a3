#pragma once

#include <QLineEdit>
#include <QPushButton>

#include "app/quillpost_form.h"
#include "compose/limited_text_box.h"

// The reply window. The history window's reply action fills the recipient, subject and
// body and shows it; the user edits, may attach one file and sends. A reply that cannot
// go out (no SMTP server, no recipient, refused by the server) stays in the window so
// that nothing typed is lost.
class BackForm : public QuillpostForm {
    Q_OBJECT

  public:
    explicit BackForm(QuillpostApp& app);

    void Command5_Click();
    void SendCommand_Click();
    void CancelCommand_Click();
    void Command1_Click();
    void AttachCommand_Click();

    // True while a send runs: a further press of the send button is ignored, and the
    // history window does not refill the window.
    bool sending() const { return sending_; }

    QPushButton* Command5;
    QPushButton* SendCommand;
    QPushButton* CancelCommand;
    QPushButton* Command1;
    QLineEdit* ToText;
    QLineEdit* SubjectText;
    LimitedTextBox* BodyText;
    QLineEdit* AttachText;
    QPushButton* AttachCommand;

  protected:
    // Closing the window while its reply is on its way stops the send.
    void closeEvent(QCloseEvent* event) override;

  private:
    bool sending_ = false;
};
