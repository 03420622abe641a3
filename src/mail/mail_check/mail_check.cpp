#include "mail_check/mail_check.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <functional>

#include "app/quillpost_app.h"
#include "app_folder.h"
#include "clock.h"
#include "cp932.h"
#include "desktop.h"
#include "dialogs/id_pass_form.h"
#include "dialogs/option_form.h"
#include "failure_detail.h"
#include "history/tyaku_form.h"
#include "main_window/main_form.h"
#include "routines.h"
#include "send/certificate_question.h"
#include "settings/settings_files.h"
#include "store/received_ledger.h"
#include "transport/attachment_saving.h"
#include "transport/certificate_pins.h"

namespace {

constexpr char16_t kAttachmentFolder[] = u"\\添付フォルダ\\";
constexpr char16_t kScratchFile[] = u"\\添付フォルダ\\0.txt";
const QString kErrorTitle = QStringLiteral("エラー");

// What the user can do about a failure the transport did not describe, added to the first
// line of its box. The transport's own messages say what to do already.
const QString kCheckServer = QStringLiteral("サーバー名とネットワークの接続を確かめてください。");
const QString kCheckAccount =
    QStringLiteral("アカウント設定のユーザー名とパスワードを確かめてください。");
const QString kCheckAttachmentFolder =
    QStringLiteral("添付フォルダがあるか、書き込めるかを確かめてください。");
const QString kCheckMailData =
    QStringLiteral("★MailDataフォルダに書き込めるか、ディスクに空きがあるかを確かめてください。");

// The transport's message, or `fallback` where it left none.
QString transportText(const QString& message, const QString& fallback) {
    return message.isEmpty() ? fallback : message;
}

// A box of a first line and, when there is any, the detail below it.
QString withDetail(const QString& first, const QString& detail) {
    return detail.isEmpty() ? first : first + u'\n' + detail;
}

// Writes the header and the body as two CR LF lines, then reads the file back line by
// line, every line followed by CR LF, as the attachment decoder is handed the mail.
QString throughScratchFile(const QString& path, const QString& header, const QString& body) {
    {
        QFile scratch(path);
        if (scratch.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            scratch.write(encodeCp932(StripAtNul(header) + QStringLiteral("\r\n") +
                                      StripAtNul(body) + QStringLiteral("\r\n")));
        }
    }
    QFile scratch(path);
    if (!scratch.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QString text = decodeCp932(scratch.readAll());
    QString wholeMail;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') {
            ++end;
        }
        wholeMail += text.sliced(start, end - start) + QStringLiteral("\r\n");
        if (end < text.size() && text[end] == u'\r' && end + 1 < text.size() &&
            text[end + 1] == u'\n') {
            ++end;
        }
        start = end + 1;
    }
    return wholeMail;
}

// Shows one part of the result: picture, image control and status text for 6 seconds.
// False when the program ended during the pause.
bool showResult(QuillpostApp& app, ImageBox* MainForm::*image, const char16_t* picture,
                const QString& text) {
    MainForm& main = app.mainForm();
    main.Image1->LoadPicture(appPath(app.folder(), picture));
    ImageBox* box = main.*image;
    box->setGeometry(main.Image1->geometry());
    box->LoadPicture(appPath(app.folder(), picture));
    box->show();
    box->raise();
    main.Label2->setText(text);
    WaitMs(app.clock(), 6000);
    if (app.ending()) {
        return false;
    }
    main.Label2->clear();
    box->hide();
    return true;
}

struct Fetched {
    bool ended = false;       // the program ended during a wait: touch nothing more
    bool showResult = true;   // false after an error box with nothing stored
    int stored = 0;           // mails stored by this check
    bool attachment = false;  // the last mail stored mentions attachments
};

// One check with a POP3 server set: connect, log in, and receive each mail as a
// transaction: a mail is stored only when it was fetched whole and its attachments saved,
// deleted from the server only once stored, and never stored twice (the ledger remembers
// what was stored until the server no longer holds it). Every wait (network, message
// box) may close any window or end the program, so windows are asked for afresh after
// each one and nothing is touched once the program ends.
class Receiving {
  public:
    explicit Receiving(QuillpostApp& app)
        : app_(app),
          transport_(app.transport()),
          attachmentFolder_(appPath(app.folder(), kAttachmentFolder)),
          scratchPath_(appPath(app.folder(), kScratchFile)) {}

    Fetched run() {
        app_.tyakuForm().Text13->clear();
        bool explained = false;
        handle_ = connectTrusting(explained);
        if (app_.ending()) {
            return ended();
        }
        app_.mainForm().Label2->setText(QStringLiteral("メールのチェックをしています。"));
        if (handle_ == -1) {
            // Reported, not shown as "no new mail": that would call a failure a success.
            if (explained ||
                showError(transportText(
                    lastTransportMessage(),
                    QStringLiteral("POP3サーバーに接続できませんでした。") + kCheckServer))) {
                app_.mainForm().Label2->clear();
            }
            return failed();
        }

        const AccountSettings account = readAccountSettings(app_.folder());
        IdPassForm& idPass = app_.idPassForm();
        idPass.IdText->setText(account.AccountId);
        idPass.PassText->setText(account.AccountPassword);
        app_.AccountId = account.AccountId;
        app_.AccountPassword = account.AccountPassword;
        if (app_.AccountId.isEmpty() || app_.AccountPassword.isEmpty()) {
            idPass.show();
            return close() ? result_ : ended();
        }

        app_.tyakuForm().MailListView->clear();
        const int count = transport_.NMailPop3Authenticate(
            handle_, app_.AccountId, app_.AccountPassword, app_.ApopFlag != 0);
        if (app_.ending()) {
            return ended();
        }
        if (count < 0) {
            if (!showError(transportText(
                    lastTransportMessage(),
                    QStringLiteral("POP3サーバーにログインできませんでした。") + kCheckAccount)) ||
                !close()) {
                return ended();
            }
            relistHistory();
            return failed();
        }
        return receiveAll(count);
    }

  private:
    Fetched receiveAll(int count) {
        ReceivedLedger ledger(appPath(app_.folder(), ReceivedLedger::kFileLiteral), app_.AccountId,
                              app_.Pop3Server);
        const ServerCopySettings copies = readServerCopySettings(app_.folder());
        const qint64 now = app_.clock().wallSeconds();
        removeLeftoverAttachmentParts(attachmentFolder_);
        // Paths are resolved once per check: matching names without regard to case reads
        // the folders.
        ReceivedMailStore store = receivedMailStore(app_.folder());
        // Notes of a check that ended between a note and its record are settled before
        // anything is stored, while the record numbers still tell.
        if (!ledger.settle(QFileInfo(store.file().path()).size() / ReceivedMailRecord::Length)) {
            showError(
                QStringLiteral("受信済みメールの記録を更新できないため、受信をやめました。"
                               "メールはサーバーに残してあります。") +
                kCheckMailData + u'\n' +
                QDir::toNativeSeparators(appPath(app_.folder(), ReceivedLedger::kFileLiteral)));
            return close() ? failed() : ended();
        }
        QSet<QString> onServer;
        bool complete = true;
        for (int n = 1; n <= count && complete; ++n) {
            QString identity;
            const int identified = transport_.mailIdentity(handle_, n, identity);
            if (app_.ending()) {
                return ended();
            }
            if (identified < 0) {
                if (!reportFailure(n, QString(), lastTransportMessage())) {
                    return ended();
                }
                complete = false;
                break;
            }
            onServer.insert(identity);
            if (ledger.contains(identity)) {
                // Stored before: kept on purpose, or left by a check that ended before the
                // server removed it.
                if (!copies.keep || isDue(ledger.storedAt(identity), copies, now)) {
                    deleted_ = true;
                    if (!deleteFromServer(n)) {
                        return ended();
                    }
                }
                continue;
            }
            switch (receiveOne(n, store,
                               [&](qint16 recordNo) { ledger.add(identity, recordNo, now); })) {
                case Step::Stored:
                    ++result_.stored;
                    if (!copies.keep && !deleteFromServer(n)) {
                        return ended();
                    }
                    break;
                case Step::Failed:
                    complete = false;
                    break;
                case Step::Ended:
                    return ended();
            }
        }
        if (app_.ending()) {
            return ended();
        }
        if (complete) {
            ledger.keepOnly(onServer);
        }
        // What the server is about to remove must be on the disk first.
        if ((result_.stored > 0 || deleted_) &&
            !(store.Sync() && ledger.sync() && SyncFolder(attachmentFolder_))) {
            transport_.dropPop3Connection(handle_);
            finishTimer();
            showError(QStringLiteral("受信したメールをディスクに書き込めませんでした。メールは"
                                     "サーバーに残してあります。ディスクに空きがあるかを確かめて"
                                     "から、もう一度受信してください。\n") +
                      fileAndReason(store.file().path(), store.errorString()));
            return failed();
        }
        if (!close()) {
            return ended();
        }
        // The list now holds only this check's mails, so row k no longer shows record k
        // and a click would show, and a delete remove, another mail: list the history
        // afresh.
        relistHistory();
        if (!complete && result_.stored == 0) {
            result_.showResult = false;
        }
        return result_;
    }

    // A mail kept on the server goes once it has been stored for the days chosen.
    static bool isDue(qint64 storedAt, const ServerCopySettings& copies, qint64 now) {
        return copies.removeAfterDays > 0 &&
               now - storedAt >= qint64(copies.removeAfterDays) * 86400;
    }

    enum class Step { Stored, Failed, Ended };

    // `noting` is told the record number just before the record is written.
    Step receiveOne(int n, ReceivedMailStore& store,
                    const std::function<void(qint16 recordNo)>& noting) {
        QString subject, date, from, header, body;
        const bool fetched =
            transport_.NMailPop3GetMailStatus(handle_, n, subject, date, from, header) >= 0 &&
            transport_.NMailPop3GetMailSize(handle_, n) >= 0 &&
            transport_.NMailPop3GetMail(handle_, n, subject, date, from, header, body) >= 0;
        if (app_.ending()) {
            return Step::Ended;
        }
        if (!fetched) {
            return reportFailure(n, QString(), lastTransportMessage()) ? Step::Failed : Step::Ended;
        }
        const bool attachment = StripAtNul(body).contains(QStringLiteral("attachment"));

        const QString wholeMail = throughScratchFile(scratchPath_, header, body);
        const int saved = transport_.NMailAttachmentFileFirst(
            subject, date, from, header, body, attachmentFolder_, scratchPath_, wholeMail);
        transport_.NMailAttachmentFileClose();
        QFile::remove(scratchPath_);
        if (saved == -5) {
            // Stored without its attachments the mail would lose them for good: it stays
            // on the server, whole, until they can be saved.
            const QString why = StripAtNul(lastTransportMessage());
            app_.desktop().message(
                &app_.mainForm(),
                withDetail(QStringLiteral(
                               "添付ファイルをオープンできません。%1 通目のメールとその後のメールは"
                               "サーバーに残してあります。")
                                   .arg(n) +
                               kCheckAttachmentFolder,
                           why));
            return app_.ending() ? Step::Ended : Step::Failed;
        }
        if (saved == -6) {
            app_.desktop().message(&app_.mainForm(),
                                   QStringLiteral("分割されたメールが全て揃っていません"));
            if (app_.ending()) {
                return Step::Ended;
            }
        }

        TyakuForm& tyaku = app_.tyakuForm();
        tyaku.Text1->setText(StripAtNul(subject));
        tyaku.Text2->setText(StripAtNul(date));
        tyaku.Text3->setText(StripAtNul(from));
        QString shownBody = StripAtNul(body);
        if (attachment) {
            shownBody += QStringLiteral("\r\n") + QString::fromUtf16(kAttachmentNotice);
        }
        tyaku.Text4->SetText(shownBody);
        tyaku.MailListView->addTopLevelItem(
            new QTreeWidgetItem({StripAtNul(subject), StripAtNul(from), StripAtNul(date)}));

        const qint16 recordNo = store.NextRecordNo();
        tyaku.Text7->setText(QString::number(tyaku.MailListView->topLevelItemCount()));
        noting(recordNo);
        if (!StoreReceivedMail(app_, store, recordNo)) {
            return reportFailure(n, kCheckMailData,
                                 QStringLiteral("受信したメールを保存できません。\n") +
                                     fileAndReason(store.file().path(), store.errorString()))
                       ? Step::Failed
                       : Step::Ended;
        }
        app_.CurrentRecordNo = recordNo;
        result_.attachment = attachment;
        return Step::Stored;
    }

    // Mail n and those after it stay on the server; `advice` joins the first line where
    // `why` does not say what to do (a transport message does). False when the program ended.
    bool reportFailure(int n, const QString& advice, const QString& why) {
        if (app_.ending()) {
            return false;
        }
        const QString detail = StripAtNul(why);
        return showError(
            withDetail(QStringLiteral("%1 通目のメールを受信できませんでした。このメールと"
                                      "その後のメールはサーバーに残してあります。")
                               .arg(n) +
                           advice,
                       detail));
    }

    bool deleteFromServer(int n) {
        transport_.NMailPop3DeleteMail(handle_, n);
        return !app_.ending();
    }

    // QUIT, which removes the deleted mails; false when the program ended meanwhile.
    bool close() {
        transport_.NMailPop3Close(handle_);
        if (app_.ending()) {
            return false;
        }
        finishTimer();
        return true;
    }

    void finishTimer() { SetTimerInterval(*app_.mainForm().Timer1, 0); }

    void relistHistory() {
        if (!app_.ending()) {
            app_.tyakuForm().RefillInBackground();
        }
    }

    // Connects; a certificate the user chooses to trust is pinned and the server tried
    // again. `explained` when a refused certificate was already told to the user.
    int connectTrusting(bool& explained) {
        const QString pinFile = pinnedCertificatesPath(app_.folder());
        transport_.setPinnedCertificates(pinFile);
        while (true) {
            const int handle = transport_.NMailPop3Connect(app_.Pop3Server);
            const auto& certificate = transport_.certificateProblem();
            if (handle != -1 || !certificate || app_.ending()) {
                return handle;
            }
            if (!askToTrustCertificate(app_.desktop(), &app_.mainForm(), kErrorTitle, *certificate,
                                       pinFile) ||
                app_.ending()) {
                explained = true;
                return -1;
            }
        }
    }

    // False when the program ended while the box was shown.
    bool showError(const QString& text) {
        if (app_.ending()) {
            return false;
        }
        app_.desktop().message(&app_.mainForm(), StripAtNul(text), kErrorTitle);
        return !app_.ending();
    }

    QString lastTransportMessage() {
        QString message;
        transport_.NMailGetMessage(message);
        return message;
    }

    Fetched ended() { return {true, false, result_.stored, result_.attachment}; }

    Fetched failed() {
        result_.showResult = result_.stored > 0;
        return result_;
    }

    QuillpostApp& app_;
    NMail& transport_;
    const QString attachmentFolder_;
    const QString scratchPath_;
    int handle_ = -1;
    bool deleted_ = false;
    Fetched result_;
};

}  // namespace

bool StoreReceivedMail(QuillpostApp& app, ReceivedMailStore& store, qint16 recordNo) {
    TyakuForm& tyaku = app.tyakuForm();
    ReceivedMailRecord record{TrimSpaces(tyaku.Text1->text()), TrimSpaces(tyaku.Text2->text()),
                              TrimSpaces(tyaku.Text3->text()), TrimSpaces(tyaku.Text4->Text()),
                              numericValue16(tyaku.Text7->text())};
    if (recordNo != store.NextRecordNo()) {
        return false;
    }
    const auto written = store.Append(record);
    if (written) {
        app.ReceivedBuffer = record;
    }
    return written.has_value();
}

void MailCheck(QuillpostApp& app) {
    if (app.Pop3Server.isEmpty()) {
        // "No new mail" would hide that nothing can arrive until a server is set.
        app.desktop().message(
            &app.mainForm(),
            QStringLiteral("受信するPOP3サーバーが設定されていません。"
                           "サーバーの設定画面でPOP3サーバーを設定してください。"),
            QStringLiteral("エラー"));
        if (!app.ending()) {
            app.optionForm().show();
        }
        return;
    }
    const Fetched fetched = Receiving(app).run();
    if (fetched.ended || !fetched.showResult) {
        return;
    }
    if (fetched.attachment &&
        !showResult(app, &MainForm::Image4, u"\\メール種別画像\\4.jpg",
                    QStringLiteral("添付ファイル付きのメールです。ウイルス注意。"))) {
        return;
    }
    if (fetched.stored >= 1) {
        showResult(app, &MainForm::Image3, u"\\メール種別画像\\1.jpg",
                   QString::number(fetched.stored) +
                       QStringLiteral("通の新着メールが届いています。POP3を切断しました。"));
    } else {
        showResult(app, &MainForm::Image5, u"\\メール種別画像\\2.jpg",
                   QStringLiteral("新着のメールはありませんでした。"));
    }
}
