#include "send/compose_send.h"

#include <QPointer>

#include "app/quillpost_app.h"
#include "compose/write_form.h"
#include "desktop.h"
#include "main_window/main_form.h"
#include "send/fortune.h"
#include "send/mail_submission.h"
#include "send/sent_attempt.h"
#include "show_in_place.h"
#include "store/mail_records.h"

namespace {

QString withoutTrailingSpaces(QString text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ') {
        --end;
    }
    text.truncate(end);
    return text;
}

// The address of book entry `pass`, or of the last entry when the book holds fewer; empty
// for an empty book. Entries marked deleted are not counted, as the address list does not
// show them. The entry read stays in the shared address buffer.
QString bulkRecipient(QuillpostApp& app, int pass) {
    QString address;
    int live = 0;
    addressStore(app.folder()).file().ReadAll([&](qint16, const QByteArray& bytes) {
        if (readLiveFlag(bytes, AddressRecord::LiveFlagOffset) == 0) {
            return true;
        }
        app.AddressBuffer = AddressRecord::fromBytes(bytes);
        address = withoutTrailingSpaces(app.AddressBuffer.Address);
        return ++live < pass;
    });
    return address;
}

// Whether every pass got through, some may have, some did, or none.
enum class Outcome { AllSent, SomeUnsure, SomeSent, NoneSent };

QString statusText(Outcome outcome) {
    switch (outcome) {
        case Outcome::AllSent:
            return QStringLiteral("送信完了です。");
        case Outcome::SomeUnsure:
            return QStringLiteral("届いたか分からないメールがあります。");
        case Outcome::SomeSent:
            return QStringLiteral("送信できなかったメールがあります。");
        case Outcome::NoneSent:
            break;
    }
    return QStringLiteral("メールを送信できませんでした。");
}

// What stops a send before its first pass: no server to send through, nobody to send to.
bool readyToSend(QuillpostApp& app, WriteForm& form) {
    if (!SmtpServerReady(app, &form)) {
        return false;
    }
    if (!form.Option2->isChecked()) {
        return RecipientGiven(app, &form, form.ToText->Text());
    }
    if (form.List1->count() == 0) {
        app.desktop().message(
            &form,
            QStringLiteral("アドレス帳に宛先が登録されていないため、一括送信できません。"
                           "アドレス帳に宛先を登録してから送信してください。"),
            QStringLiteral("送信エラー"));
        return false;
    }
    return true;
}

}  // namespace

void SendComposedMail(QuillpostApp& app, WriteForm& form) {
    const QPointer<WriteForm> window(&form);
    form.Command9->setEnabled(false);
    form.List2->hide();
    form.AttachCommand->setEnabled(true);
    if (!readyToSend(app, form)) {
        if (!window.isNull()) {
            form.Label7->setText(statusText(Outcome::NoneSent));
        }
        return;
    }
    SetSendingLamp(app, true);
    form.Label7->setText(QStringLiteral("メールを送信中です。しばらくお待ち下さい。"));

    // Message boxes and network waits process events: the user may close the window or
    // end the program meanwhile.
    const auto abandoned = [&] {
        if (window.isNull() || app.ending()) {
            SetSendingLamp(app, false);
            return true;
        }
        return false;
    };
    int sent = 0;
    int unsure = 0;
    int failed = 0;
    const int passes = form.Option2->isChecked() ? form.List1->count() : 1;
    for (int pass = 1; pass <= passes; ++pass) {
        const bool bulk = form.Option2->isChecked();
        const QString recipient = bulk ? bulkRecipient(app, pass) : form.ToText->Text();
        if (bulk && recipient.trimmed().isEmpty()) {
            ++failed;
            app.desktop().message(
                &form,
                QStringLiteral(
                    "アドレス帳の%1番目の宛先にアドレスがないため、この宛先には送信しません"
                    "でした。アドレス帳でアドレスを入力してください。")
                    .arg(pass),
                QStringLiteral("送信エラー"));
            if (abandoned()) {
                return;
            }
            continue;
        }
        const std::optional<SentAttempt> attempt =
            RecordSendAttempt(app, &form,
                              {form.SubjectText->text(), form.ToText->Text(), form.BodyText->Text(),
                               app.mainForm().Text1->text(), 1});
        if (abandoned()) {
            return;
        }
        // A mail the history cannot hold is not sent: the window keeps it for a resend once
        // there is room, instead of its only copy going out.
        if (!attempt) {
            ++failed;
            continue;
        }
        const QString typed = form.BodyText->Text();
        if (form.Check1->isChecked()) {
            form.BodyText->SetText(withFortune(typed, form.drawFortune()));
        }
        const QString body = form.BodyText->Text();
        const Submission submission = SubmitMail(app, &form, recipient, form.SubjectText->text(),
                                                 body, form.AttachText->text());
        // The record goes whatever became of the window: the history must not list a mail
        // as sent that the server never took. One that may have gone stays, so that the
        // user can see it went before sending it again.
        const bool mayHaveGone =
            submission == Submission::Sent || submission == Submission::MayHaveGone;
        if (submission == Submission::Sent) {
            ++sent;
        } else if (submission == Submission::MayHaveGone) {
            ++unsure;
        } else {
            ++failed;
            WithdrawSendAttempt(app, window.data(), *attempt);
        }
        if (abandoned()) {
            return;
        }
        // A fortune that never went out is taken back, so that a resend does not carry two;
        // unless the user has edited the body meanwhile.
        if (!mayHaveGone && form.BodyText->Text() == body) {
            form.BodyText->SetText(typed);
        }
    }

    const Outcome outcome = unsure > 0    ? Outcome::SomeUnsure
                            : failed == 0 ? Outcome::AllSent
                            : sent == 0   ? Outcome::NoneSent
                                          : Outcome::SomeSent;
    form.Label7->setText(statusText(outcome));
    SetSendingLamp(app, false);
    // After a failure the window stays, its status in view, for the mail to be put right
    // and sent again.
    if (outcome == Outcome::AllSent && !app.ending()) {
        ShowInPlace(app.mainForm(), form);
    }
}
