#include "reply/back_form.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>

#include "app/quillpost_app.h"
#include "app_folder.h"
#include "desktop.h"
#include "main_window/main_form.h"
#include "send/mail_submission.h"
#include "show_in_place.h"
#include "units.h"

namespace {

// The most characters the user can type into the body.
constexpr int kBodyLength = 3000;

// Between the pasted text and the answered mail: three line ends and a lone CR.
constexpr char16_t kPasteSeparator[] = u"\r\n\r\n\r\n\r";

}  // namespace

BackForm::BackForm(QuillpostApp& app)
    : QuillpostForm(app),
      Command5(new QPushButton(QStringLiteral("ホーム"), this)),
      SendCommand(new QPushButton(QStringLiteral("送信"), this)),
      CancelCommand(new QPushButton(QStringLiteral("中止"), this)),
      Command1(new QPushButton(QStringLiteral("本文貼付け"), this)),
      ToText(new QLineEdit(this)),
      SubjectText(new QLineEdit(this)),
      BodyText(new LimitedTextBox(kBodyLength, this)),
      AttachText(new QLineEdit(this)),
      AttachCommand(new QPushButton(QStringLiteral("添付"), this)) {
    setWindowTitle(QStringLiteral("返事を出す"));
    resize(twipsToPixels(7680), twipsToPixels(8250));

    int left = 120;
    for (QPushButton* button : {Command5, SendCommand, CancelCommand, Command1}) {
        button->setGeometry(twipsRect(left, 120, 1320, 450));
        left += 1440;
    }
    SendCommand->setStyleSheet(QStringLiteral("background-color: rgb(255, 0, 0);"));

    const struct {
        const char16_t* text;
        int top;
    } rowLabels[] = {{u"宛先", 780}, {u"題名", 1260}, {u"添付", 7710}};
    for (const auto& row : rowLabels) {
        (new QLabel(QString::fromUtf16(row.text), this))
            ->setGeometry(twipsRect(120, row.top, 840, 330));
    }
    ToText->setGeometry(twipsRect(1000, 750, 6560, 360));
    SubjectText->setGeometry(twipsRect(1000, 1230, 6560, 360));
    BodyText->setGeometry(twipsRect(120, 1710, 7440, 5820));
    BodyText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab goes on to the attachment, as in the compose window; Ctrl+Tab types a tab.
    BodyText->moveFocusOnTab(true);
    AttachText->setGeometry(twipsRect(1000, 7680, 5400, 360));
    AttachCommand->setGeometry(twipsRect(6480, 7665, 1080, 390));

    connect(Command5, &QPushButton::clicked, this, &BackForm::Command5_Click);
    connect(SendCommand, &QPushButton::clicked, this, &BackForm::SendCommand_Click);
    connect(CancelCommand, &QPushButton::clicked, this, &BackForm::CancelCommand_Click);
    connect(Command1, &QPushButton::clicked, this, &BackForm::Command1_Click);
    connect(AttachCommand, &QPushButton::clicked, this, &BackForm::AttachCommand_Click);
    sendOnCtrlReturn(SendCommand, QStringLiteral("送信"), [this] { SendCommand_Click(); });
}

void BackForm::Command5_Click() {
    ShowInPlace(app_.mainForm(), *this);
}

void BackForm::SendCommand_Click() {
    if (sending_) {
        return;
    }
    // The window may be closed, and deleted, while a box is open or the mail is on its way.
    const QPointer<BackForm> self(this);
    sending_ = true;
    if (!SmtpServerReady(app_, this) || self.isNull() ||
        !RecipientGiven(app_, this, ToText->text())) {
        if (!self.isNull()) {
            sending_ = false;
        }
        return;
    }
    SetSendingLamp(app_, true);
    const bool sent = SubmitMail(app_, this, ToText->text(), SubjectText->text(), BodyText->Text(),
                                 AttachText->text()) == Submission::Sent;
    if (self.isNull() || app_.ending()) {
        SetSendingLamp(app_, false);
        return;
    }
    sending_ = false;
    if (sent) {
        Unload();
        app_.mainForm().show();
    }
    SetSendingLamp(app_, false);
}

void BackForm::CancelCommand_Click() {
    Unload();
}

void BackForm::closeEvent(QCloseEvent* event) {
    if (sending_) {
        StopSending(app_);
    }
    QuillpostForm::closeEvent(event);
}

void BackForm::Command1_Click() {
    // The record's body field is padded with spaces to its fixed length: no text of the mail.
    QString answered = app_.ReceivedBuffer.Body;
    while (answered.endsWith(u' ')) {
        answered.chop(1);
    }
    BodyText->SetText(QGuiApplication::clipboard()->text() + QString::fromUtf16(kPasteSeparator) +
                      answered);
}

void BackForm::AttachCommand_Click() {
    const QString path = app_.desktop().openFileName(
        this, QString(), appPath(app_.folder(), u"\\添付フォルダ\\"), QString());
    if (!path.isEmpty()) {
        AttachText->setText(QDir::toNativeSeparators(path));
    }
}
