// What the history window's buttons do with the shown mail.
#include <QApplication>
#include <QClipboard>
#include <QDir>

#include "address_book/friend_form.h"
#include "app/quillpost_app.h"
#include "app_folder.h"
#include "desktop.h"
#include "failure_detail.h"
#include "history/tuika_form.h"
#include "history/tyaku_form.h"
#include "reply/back_form.h"
#include "routines.h"
#include "store/received_ledger.h"
#include "transport/mail_addresses.h"

namespace {

const QString kCannotDelete = QStringLiteral(
    "メールを削除できませんでした。メールは消えずに残っています。★MailDataフォルダに"
    "書き込めるか、ディスクに空きがあるかを確かめてください。");

// The file was replaced, but the disk did not confirm it: a crash may bring the mail back.
const QString kDeletedUnconfirmed = QStringLiteral(
    "メールを削除しましたが、ディスクに書き込まれたことを確かめられませんでした。"
    "コンピュータが止まると、メールが元に戻ることがあります。ディスクに異常がないかを"
    "確かめてください。");

// The box for a delete that failed, saying whether the mail is still there.
QString deleteFailure(bool changed, const QString& detail) {
    return (changed ? kDeletedUnconfirmed : kCannotDelete) + u'\n' + detail;
}

const QString kNoSelection = QStringLiteral("データが選択されていません");
const QString kToMyself = QStringLiteral("自分宛です。");
const QString kConfirmTitle = QStringLiteral("確認");

bool askYesNo(Desktop& desktop, QWidget* parent, const QString& question) {
    return desktop.message(parent, question, kConfirmTitle, Desktop::Buttons::YesNo,
                           Desktop::Icon::Question) == Desktop::Answer::Yes;
}

// Selected text of a text box, with the editor's paragraph separators as CR LF.
QString selectedText(const TextBox& box) {
    QString text = box.textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"))
        .replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return text;
}

}  // namespace

void TyakuForm::deleteRecord(qint16 n) {
    bool done = false;
    bool changed = false;
    QString error;
    if (app_.HistoryMode == 1) {
        ReceivedMailStore store = receivedMailStore(app_.folder());
        if (ReceivedLedger::settleBeforeDelete(app_.folder(), error)) {
            done = store.Delete(n, app_.ReceivedBuffer);
            changed = store.changedButUnconfirmed();
            error = fileAndReason(store.file().path(), store.errorString());
        }
    } else if (app_.HistoryMode == 2) {
        SentMailStore store = sentMailStore(app_.folder());
        done = store.Delete(n, app_.SentBuffer);
        changed = store.changedButUnconfirmed();
        error = fileAndReason(store.file().path(), store.errorString());
    } else {
        return;
    }
    if (!done) {
        app_.desktop().message(this, deleteFailure(changed, error));
    }
}

void TyakuForm::Image1_Click() {
    // A shown mail whose row is no longer selected has no record number to delete at.
    if (Text5->text().isEmpty() || selectedRowNo() < 1) {
        app_.desktop().message(this, kNoSelection);
        return;
    }
    Image1->LoadPicture(appPath(app_.folder(), u"\\data\\10.gif"));
    app_.CurrentRecordNo = selectedRowNo();
    const bool yes =
        askYesNo(app_.desktop(), this,
                 QStringLiteral("選択された（行、青色）データを削除します。よろしいですか?"));
    if (app_.HistoryMode == 1) {
        Text15->setFocus();
    }
    if (!yes) {
        Text5->clear();
        return;
    }
    deleteRecord(app_.CurrentRecordNo);
    Text8->clear();
    Text9->clear();
    Text10->clear();
    Text15->SetText(QString());
    Fill();
    Text5->clear();
}

void TyakuForm::Image9_Click() {
    if (app_.HistoryMode != 1 && app_.HistoryMode != 2) {
        return;
    }
    ReceivedMailStore received = receivedMailStore(app_.folder());
    SentMailStore sent = sentMailStore(app_.folder());
    const qint16 count = app_.HistoryMode == 1 ? received.RecordCount() : sent.RecordCount();
    if (!askYesNo(app_.desktop(), this, QStringLiteral("すべてのデータを削除して良いですか？"))) {
        return;
    }
    if (count >= 1) {
        app_.CurrentRecordNo = count;
    }
    QString error;
    bool done = false;
    bool changed = false;
    if (app_.HistoryMode == 1) {
        done = ReceivedLedger::settleBeforeDelete(app_.folder(), error);
        if (done && !(done = received.DeleteAll())) {
            changed = received.changedButUnconfirmed();
            error = fileAndReason(received.file().path(), received.errorString());
        }
    } else if (!(done = sent.DeleteAll())) {
        changed = sent.changedButUnconfirmed();
        error = fileAndReason(sent.file().path(), sent.errorString());
    }
    if (!done) {
        app_.desktop().message(this, deleteFailure(changed, error));
    }
    // Rebuilt from the file, so that a failed delete still shows what is stored.
    Fill();
    Text8->clear();
    Text9->clear();
    Text10->clear();
    Text15->SetText(QString());
}

void TyakuForm::Image11_Click() {
    if (app_.HistoryMode == 2) {
        app_.desktop().message(this, kToMyself);
        return;
    }
    if (Text5->text().isEmpty()) {
        app_.desktop().message(this, kNoSelection);
        Text15->setFocus();
        return;
    }
    // Refilling the reply window now would throw away the reply on its way, and whatever
    // the send leaves in the window for a resend.
    if (app_.isBackFormLoaded() && app_.backForm().sending()) {
        app_.desktop().message(
            this, QStringLiteral("返事を送信中です。送信が終わってから、もう一度「返事を出す」を"
                                 "押してください。"));
        return;
    }
    Text15->setFocus();
    BackForm& back = app_.backForm();
    // The prefix is added as it is, also to a subject that already begins with "Re:".
    back.SubjectText->setText(QStringLiteral("Re:  ") + TrimSpaces(app_.ReceivedBuffer.Subject));
    back.ToText->setText(senderAsRecipient(TrimSpaces(Text9->text())));
    back.BodyText->SetText(TrimSpaces(app_.ReceivedBuffer.Body));
    Text5->clear();
    back.show();
}

void TyakuForm::Image10_Click() {
    if (app_.HistoryMode == 2) {
        app_.desktop().message(this, kToMyself);
        return;
    }
    if (Text5->text().isEmpty()) {
        app_.desktop().message(this, kNoSelection);
        return;
    }
    FriendForm& book = app_.friendForm();
    book.Text4->setText(senderAsRecipient(Text9->text()));
    Text5->clear();
    book.show();
}

void TyakuForm::Command15_Click() {
    QApplication::clipboard()->setText(selectedText(*Text15));
}

void TyakuForm::Command6_Click() {
    if (Text5->text().isEmpty()) {
        app_.desktop().message(this, kNoSelection + u'。');
        return;
    }
    const QString lineEnd = QStringLiteral("\r\n");
    QApplication::clipboard()->setText(Text8->text() + lineEnd + lineEnd + Text10->text() +
                                       lineEnd + lineEnd + Text15->Text());
    Text5->clear();
    const QString notepane = programPath(app_.folder(), u"\\Notepane.exe");
    if (!app_.desktop().startProgram(notepane)) {
        app_.desktop().message(this,
                               QStringLiteral("Notepane を起動できませんでした。メールの文面は"
                                              "クリップボードにあります。Notepane が Quillpost "
                                              "と同じフォルダにあるかを確かめてください。\n") +
                                   QDir::toNativeSeparators(notepane));
    }
}

void TyakuForm::Command2_Click() {
    if (Text5->text().isEmpty()) {
        app_.desktop().message(this, kNoSelection + u'。');
        return;
    }
    TuikaForm& zoom = app_.tuikaForm();
    zoom.Text15->SetText(TrimSpaces(Text15->Text()));
    zoom.Text10->setText(TrimSpaces(Text10->text()));
    zoom.Text8->setText(TrimSpaces(Text8->text()));
    zoom.Text9->setText(TrimSpaces(Text9->text()));
    for (QLineEdit* box : {zoom.Text8, zoom.Text9, zoom.Text10}) {
        box->setCursorPosition(0);
    }
    Text5->clear();
    zoom.show();
}
