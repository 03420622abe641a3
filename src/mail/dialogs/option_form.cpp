#include "dialogs/option_form.h"

#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>

#include "app/quillpost_app.h"
#include "app_folder.h"
#include "desktop.h"
#include "failure_detail.h"
#include "settings/settings_files.h"

namespace {

// Ten years, more than anyone keeps mail waiting on a server.
constexpr int kMostKeepDays = 3650;

QLabel* fieldLabel(const QString& caption, QWidget* field) {
    auto* label = new QLabel(caption);
    label->setBuddy(field);
    return label;
}

}  // namespace

OptionForm::OptionForm(QuillpostApp& app)
    : QuillpostForm(app),
      Command1(new QPushButton(QStringLiteral("ホーム"), this)),
      OkCommand(new QPushButton(QStringLiteral("設定"), this)),
      CancelCommand(new QPushButton(QStringLiteral("中止"), this)),
      SmtpText(new QLineEdit(this)),
      Pop3Text(new QLineEdit(this)),
      MailText(new QLineEdit(this)),
      ApopCheck(new QCheckBox(QStringLiteral("APOP を使用する(&A)"), this)),
      KeepCheck(new QCheckBox(QStringLiteral("メールをサーバーに残す(&K)"), this)),
      KeepDaysBox(new QSpinBox(this)) {
    setWindowTitle(QStringLiteral("設定"));

    QPalette cancelPalette = CancelCommand->palette();
    cancelPalette.setColor(QPalette::Button, QColor(255, 0, 0));
    cancelPalette.setColor(QPalette::ButtonText, QColor(255, 255, 255));
    CancelCommand->setPalette(cancelPalette);
    CancelCommand->setAutoFillBackground(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(OkCommand);
    buttons->addWidget(CancelCommand);
    buttons->addStretch();
    auto* fields = new QFormLayout;
    fields->addRow(fieldLabel(QStringLiteral("SMTPサーバー名(&S)"), SmtpText), SmtpText);
    fields->addRow(fieldLabel(QStringLiteral("POP3サーバー名(&P)"), Pop3Text), Pop3Text);
    fields->addRow(fieldLabel(QStringLiteral("メールアドレス(&M)"), MailText), MailText);
    fields->addRow(ApopCheck);
    fields->addRow(KeepCheck);
    auto* days = new QHBoxLayout;
    days->addWidget(KeepDaysBox);
    days->addWidget(
        fieldLabel(QStringLiteral("日後にサーバーから削除（0 = 削除しない）(&D)"), KeepDaysBox));
    days->addStretch();
    fields->addRow(days);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addLayout(fields);
    SmtpText->setMinimumWidth(260);

    // No button answers Enter by itself; a focused one does.
    answerEnterWith(nullptr);
    connect(Command1, &QPushButton::clicked, this, &OptionForm::Command1_Click);
    connect(OkCommand, &QPushButton::clicked, this, &OptionForm::OkCommand_Click);
    connect(CancelCommand, &QPushButton::clicked, this, &OptionForm::CancelCommand_Click);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &OptionForm::CancelCommand_Click);
    connect(KeepCheck, &QCheckBox::toggled, KeepDaysBox, &QWidget::setEnabled);
    Form_Load();
}

void OptionForm::Form_Load() {
    SmtpText->setText(app_.SmtpServer);
    Pop3Text->setText(app_.Pop3Server);
    MailText->setText(app_.MailAddress);
    ApopCheck->setChecked(app_.ApopFlag != 0);
    const ServerCopySettings copies = readServerCopySettings(app_.folder());
    // A longer time set in the file is shown as it is, not cut down behind the user's back.
    KeepDaysBox->setRange(0, std::max(kMostKeepDays, copies.removeAfterDays));
    KeepDaysBox->setValue(copies.removeAfterDays);
    KeepCheck->setChecked(copies.keep);
    KeepDaysBox->setEnabled(copies.keep);
}

void OptionForm::OkCommand_Click() {
    app_.SmtpServer = SmtpText->text();
    app_.Pop3Server = Pop3Text->text();
    app_.MailAddress = MailText->text();
    app_.ApopFlag = ApopCheck->isChecked() ? 1 : 0;
    QString reason;
    if (!writeServerSettings(app_.folder(),
                             {app_.SmtpServer, app_.Pop3Server, app_.MailAddress, app_.ApopFlag},
                             &reason)) {
        // In force for this run, but lost at the next start: the user must know.
        app_.desktop().message(
            this, QStringLiteral("設定を保存できません。次回の起動時には元の設定に戻ります。"
                                 "ディスクの空きと、Quillpostのフォルダに書き込めるかを"
                                 "確かめてください。\n%1")
                      .arg(fileAndReason(appPath(app_.folder(), u"\\qsmail.ini"), reason)));
    }
    if (!writeServerCopySettings(app_.folder(), {KeepCheck->isChecked(), KeepDaysBox->value()},
                                 &reason)) {
        // The next check would delete mail the user meant to keep on the server.
        app_.desktop().message(
            this, QStringLiteral("サーバーに残す設定を保存できません。受信したメールが"
                                 "サーバーから消されることがあります。ディスクの空きと、"
                                 "★MailDataフォルダに書き込めるかを確かめてください。\n%1")
                      .arg(fileAndReason(appPath(app_.folder(), u"\\★MailData\\server-copies.ini"),
                                         reason)));
    }
    Unload();
}

void OptionForm::Command1_Click() {
    Unload();
}

void OptionForm::CancelCommand_Click() {
    Unload();
}
