#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "app/quillpost_form.h"

// The account dialog: POP3 user ID and password, saved to "iniIdPass.ini" only when the
// user ticks the save box.
class IdPassForm : public QuillpostForm {
    Q_OBJECT

  public:
    explicit IdPassForm(QuillpostApp& app);

    void Form_Load();
    void OKCommand_Click();
    void CancelCommand_Click();

    QLineEdit* IdText;
    QLineEdit* PassText;
    QCheckBox* Check1;
    QPushButton* OKCommand;
    QPushButton* CancelCommand;
};
