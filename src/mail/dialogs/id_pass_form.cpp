#include "dialogs/id_pass_form.h"

#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/quillpost_app.h"
#include "app_folder.h"
#include "desktop.h"
#include "failure_detail.h"
#include "settings/settings_files.h"

IdPassForm::IdPassForm(QuillpostApp& app)
    : QuillpostForm(app),
      IdText(new QLineEdit(this)),
      PassText(new QLineEdit(this)),
      Check1(new QCheckBox(QStringLiteral("IDパスワードを保存する"), this)),
      OKCommand(new QPushButton(QStringLiteral("OK"), this)),
      CancelCommand(new QPushButton(QStringLiteral("End"), this)) {
    setWindowTitle(QStringLiteral("ID/パスワード入力"));
    PassText->setEchoMode(QLineEdit::Password);
    // Qt's password mask is a bullet; the account dialog shows "*".
    PassText->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("ID"), IdText);
    fields->addRow(QStringLiteral("Password"), PassText);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKCommand);
    buttons->addWidget(CancelCommand);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(Check1);
    layout->addLayout(buttons);

    // Enter answers OK unless another button has the focus; Esc answers End.
    answerEnterWith(OKCommand);
    connect(OKCommand, &QPushButton::clicked, this, &IdPassForm::OKCommand_Click);
    connect(CancelCommand, &QPushButton::clicked, this, &IdPassForm::CancelCommand_Click);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &IdPassForm::CancelCommand_Click);
    Form_Load();
}

void IdPassForm::Form_Load() {
    // What this run logs in with, which differs from the file when it was typed unsaved.
    const AccountSettings shown = app_.accountInUse();
    IdText->setText(shown.AccountId);
    PassText->setText(shown.AccountPassword);
    Check1->setChecked(false);
}

void IdPassForm::OKCommand_Click() {
    app_.AccountId = IdText->text();
    app_.AccountPassword = PassText->text();
    app_.accountTyped = true;
    const bool save = Check1->isChecked();
    QString reason;
    if (!writeAccountSettings(app_.folder(), {app_.AccountId, app_.AccountPassword}, save,
                              &reason)) {
        // Used for this run all the same; the user must know it will be gone next time.
        app_.desktop().message(
            this,
            QStringLiteral("ID/パスワードの設定を保存できません。ディスクの空きと、"
                           "★MailDataフォルダとこのファイルを読み書きできるかを"
                           "確かめてください。\n%1")
                .arg(fileAndReason(appPath(app_.folder(), u"\\★MailData\\iniIdPass.ini"), reason)));
    }
    Unload();
}

void IdPassForm::CancelCommand_Click() {
    Unload();
}
