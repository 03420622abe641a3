#include "compose_send.h"

#include <QPointer>

#include "desktop.h"
#include "fortune.h"
#include "mail_records.h"
#include "mail_submission.h"
#include "main_form.h"
#include "quillpost_app.h"
#include "routines.h"
#include "write_form.h"

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
// for an empty book. The entry read stays in the shared address buffer.
QString bulkRecipient(QuillpostApp& app, int pass) {
    QString address;
    addressStore(app.folder()).file().ReadAll([&](qint16 recordNo, const QByteArray& bytes) {
        app.AddressBuffer = AddressRecord::fromBytes(bytes);
        address = withoutTrailingSpaces(app.AddressBuffer.Address);
        return recordNo < pass;
    });
    return address;
}

// Appends the attempt to the sent history, the body as the user wrote it.
void recordAttempt(QuillpostApp& app, WriteForm& form) {
    const SentMailRecord record{form.SubjectText->text(), form.ToText->Text(),
                                form.BodyText->Text(), app.mainForm().Text1->text(), 1};
    SentMailStore store = sentMailStore(app.folder());
    if (const auto recordNo = store.Append(record)) {
        app.SentBuffer = record;
        app.CurrentRecordNo = *recordNo;
        return;
    }
    app.desktop().message(
        &form, QStringLiteral("送信履歴に記録できませんでした。\n") + store.errorString());
}

}  // namespace

void SendComposedMail(QuillpostApp& app, WriteForm& form) {
    const QPointer<WriteForm> window(&form);
    form.Command9->setEnabled(false);
    form.List2->hide();
    form.AttachCommand->setEnabled(true);
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
    const int passes = form.Option2->isChecked() ? form.List1->count() : 1;
    for (int pass = 1; pass <= passes; ++pass) {
        const QString recipient =
            form.Option2->isChecked() ? bulkRecipient(app, pass) : form.ToText->Text();
        recordAttempt(app, form);
        if (abandoned()) {
            return;
        }
        if (form.Check1->isChecked()) {
            form.BodyText->SetText(withFortune(form.BodyText->Text(), form.drawFortune()));
        }
        SubmitMail(app, &form, recipient, form.SubjectText->text(), form.BodyText->Text(),
                   form.AttachText->text());
        if (abandoned()) {
            return;
        }
    }

    form.Label7->setText(QStringLiteral("送信完了です。"));
    SetSendingLamp(app, false);
    if (!app.ending()) {
        ShowInPlace(app.mainForm(), form);
    }
}
