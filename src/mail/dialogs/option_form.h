#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "app/quillpost_form.h"

// The server dialog: SMTP and POP3 servers, the user's own address and the APOP choice,
// saved in "qsmail.ini" and in force at once; and whether received mail stays on the
// server, and for how many days, saved in a file of its own.
class OptionForm : public QuillpostForm {
    Q_OBJECT

  public:
    explicit OptionForm(QuillpostApp& app);

    void Form_Load();
    void OkCommand_Click();
    void Command1_Click();
    void CancelCommand_Click();

    QPushButton* Command1;
    QPushButton* OkCommand;
    QPushButton* CancelCommand;
    QLineEdit* SmtpText;
    QLineEdit* Pop3Text;
    QLineEdit* MailText;
    QCheckBox* ApopCheck;
    QCheckBox* KeepCheck;
    // Days after which a kept mail is removed from the server; 0 keeps it there for good.
    QSpinBox* KeepDaysBox;
};
