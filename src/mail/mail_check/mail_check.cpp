#include "mail_check/mail_check.h"

#include "app/quillpost_app.h"
#include "app_folder.h"
#include "clock.h"
#include "desktop.h"
#include "dialogs/id_pass_form.h"
#include "dialogs/option_form.h"
#include "history/tyaku_form.h"
#include "mail_check/history_staging.h"
#include "mail_check/receive_texts.h"
#include "main_window/main_form.h"
#include "receive/receive_transaction.h"
#include "routines.h"
#include "send/certificate_question.h"
#include "send/clear_login_question.h"
#include "settings/settings_files.h"
#include "show_in_place.h"
#include "transport/certificate_pins.h"
#include "transport/nmail.h"
#include "transport/server_security.h"

namespace {

const QString kErrorTitle = QStringLiteral("エラー");

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

// The result display: the attachment warning, then the count or "no new mail".
void showResults(QuillpostApp& app, bool attachment, int stored) {
    if (attachment && !showResult(app, &MainForm::Image4, u"\\メール種別画像\\4.jpg",
                                  QStringLiteral("添付ファイル付きのメールです。ウイルス注意。"))) {
        return;
    }
    if (stored >= 1) {
        showResult(app, &MainForm::Image3, u"\\メール種別画像\\1.jpg",
                   QString::number(stored) +
                       QStringLiteral("通の新着メールが届いています。POP3を切断しました。"));
    } else {
        showResult(app, &MainForm::Image5, u"\\メール種別画像\\2.jpg",
                   QStringLiteral("新着のメールはありませんでした。"));
    }
}

// One check with a POP3 server set. Every wait (network, message box) may close any window
// or end the program, so windows are asked for afresh after each one and nothing is
// touched once the program ends.
class MailCheckRun {
  public:
    explicit MailCheckRun(QuillpostApp& app)
        : app_(app),
          staging_(app),
          transaction_(app.transport(),
                       {app.folder(), app.Pop3Server, readServerCopySettings(app.folder()),
                        app.clock().wallSeconds()},
                       staging_) {}

    void run() {
        app_.tyakuForm().Text13->clear();
        bool explained = false;
        const std::optional<MailFailure> unreachable = connectTrusting(explained);
        if (app_.ending()) {
            return;
        }
        if (unreachable) {
            // Told, not shown as "no new mail": that would call a failure a success.
            endStatus();
            if (!explained) {
                tell({*unreachable});
            }
            return;
        }
        app_.mainForm().Label2->setText(QStringLiteral("メールのチェックをしています。"));

        const AccountSettings account = app_.accountInUse();
        IdPassForm& idPass = app_.idPassForm();
        idPass.IdText->setText(account.AccountId);
        idPass.PassText->setText(account.AccountPassword);
        app_.AccountId = account.AccountId;
        app_.AccountPassword = account.AccountPassword;
        if (app_.AccountId.isEmpty() || app_.AccountPassword.isEmpty()) {
            transaction_.close();
            if (!app_.ending()) {
                askForAccount();
            }
            return;
        }

        const ReceiveOutcome outcome =
            transaction_.receive({app_.AccountId, app_.AccountPassword, app_.ApopFlag != 0});
        if (outcome.ended || app_.ending()) {
            return;
        }
        finishTimer();
        // The list was emptied for this check and may show rows of mails it could not
        // keep: whatever happened, it is listed afresh so that row k shows record k.
        app_.tyakuForm().RefillInBackground();
        // Nothing arrived and something failed: no result follows the box, and the window
        // must not go on saying it is checking, or show the last check's result.
        const bool noResult = outcome.stored == 0 && !outcome.failures.isEmpty();
        if (noResult) {
            endStatus();
        }
        if (!outcome.failures.isEmpty() && !tell(outcome.failures)) {
            return;
        }
        if (outcome.piecesWaiting) {
            app_.desktop().message(&app_.mainForm(),
                                   QStringLiteral("分割されたメールが全て揃っていません"));
            if (app_.ending()) {
                return;
            }
        }
        if (noResult) {
            return;
        }
        showResults(app_, outcome.attachment, outcome.stored);
    }

  private:
    // Connects; a certificate the user chooses to trust is pinned, or a login without
    // encryption the user agrees to is noted, and the server tried again. `explained` when
    // the user was already asked and said no.
    std::optional<MailFailure> connectTrusting(bool& explained) {
        const QString pinFile = pinnedCertificatesPath(app_.folder());
        const QString securityFile = serverSecurityPath(app_.folder());
        app_.transport().setPinnedCertificates(pinFile);
        app_.transport().setServerSecurityFile(securityFile);
        while (true) {
            std::optional<MailFailure> failed = transaction_.connect();
            if (!failed || app_.ending()) {
                return failed;
            }
            bool again = false;
            if (failed->certificate) {
                again = askToTrustCertificate(app_.desktop(), &app_.mainForm(), kErrorTitle,
                                              *failed->certificate, pinFile);
            } else if (failed->what == MailFailure::What::ClearLoginNotAgreed) {
                again = askToLogInWithoutTls(app_.desktop(), &app_.mainForm(),
                                             QStringLiteral("POP3"), failed->server, securityFile);
            } else {
                return failed;
            }
            if (!again || app_.ending()) {
                explained = true;
                return failed;
            }
        }
    }

    // One box for everything that went wrong; false when the program ended meanwhile.
    bool tell(const QList<MailFailure>& failures) {
        app_.desktop().message(&app_.mainForm(), receiveFailureText(failures), kErrorTitle);
        return !app_.ending();
    }

    // The status line, the lamp and the large picture after a check that shows no result.
    void endStatus() {
        finishTimer();
        MainForm& main = app_.mainForm();
        main.Label2->clear();
        main.showBackground();
    }

    // "No new mail" would hide that nothing can arrive until the account is set: says what
    // is missing and opens the account dialog where the user is looking.
    void askForAccount() {
        endStatus();
        const QString missing = app_.AccountId.isEmpty() && app_.AccountPassword.isEmpty()
                                    ? QStringLiteral("IDとパスワード")
                                : app_.AccountId.isEmpty() ? QStringLiteral("ID")
                                                           : QStringLiteral("パスワード");
        app_.desktop().message(&app_.mainForm(),
                               QStringLiteral("受信するための%1が設定されていません。"
                                              "ID/パスワード入力画面で%1を入力してください。")
                                   .arg(missing),
                               kErrorTitle);
        if (!app_.ending()) {
            ShowOver(app_.idPassForm(), app_.mainForm());
        }
    }

    void finishTimer() { SetTimerInterval(*app_.mainForm().Timer1, 0); }

    QuillpostApp& app_;
    HistoryStaging staging_;
    ReceiveTransaction transaction_;
};

}  // namespace

ReceivedMailRecord stagedReceivedMail(const TyakuForm& tyaku) {
    return {TrimSpaces(tyaku.Text1->text()), TrimSpaces(tyaku.Text2->text()),
            TrimSpaces(tyaku.Text3->text()), TrimSpaces(tyaku.Text4->Text()),
            numericValue16(tyaku.Text7->text())};
}

bool StoreReceivedMail(QuillpostApp& app, ReceivedMailStore& store, qint16 recordNo) {
    const ReceivedMailRecord record = stagedReceivedMail(app.tyakuForm());
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
            kErrorTitle);
        if (!app.ending()) {
            app.optionForm().show();
        }
        return;
    }
    MailCheckRun(app).run();
}
