#include "send/mail_submission.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "app/quillpost_app.h"
#include "desktop.h"
#include "dialogs/option_form.h"
#include "main_window/main_form.h"
#include "send/certificate_question.h"
#include "send/clear_login_question.h"
#include "settings/settings_files.h"
#include "transport/certificate_pins.h"
#include "transport/mail_host.h"
#include "transport/outgoing_mail.h"
#include "transport/server_security.h"
#include "transport/transport_results.h"

Submission SubmitMail(QuillpostApp& app, QWidget* parent, const QString& to, const QString& subject,
                      const QString& body, const QString& attachments) {
    AccountSettings account{app.AccountId, app.AccountPassword};
    if (account.AccountId.isEmpty()) {
        account = readAccountSettings(app.folder());
    }
    app.transport().setSmtpAccount(account.AccountId, account.AccountPassword);
    const QString pinFile = pinnedCertificatesPath(app.folder());
    const QString securityFile = serverSecurityPath(app.folder());
    app.transport().setPinnedCertificates(pinFile);
    app.transport().setServerSecurityFile(securityFile);
    const QString title = QStringLiteral("送信エラー");
    app.transport().setSmtpStopRequested(false);

    // The transport and the boxes process events, so the window may close meanwhile.
    const QPointer<QWidget> owner(parent);
    while (true) {
        const int result = app.transport().NMailSmtpSendMail(app.SmtpServer, to, app.MailAddress,
                                                             subject, body, attachments);
        const bool stopAsked = app.transport().smtpStopRequested();
        if (result >= 0) {
            QString note;
            app.transport().NMailGetMessage(note);
            // The window that was closed to stop it must not leave the user believing so.
            if (stopAsked) {
                note.prepend(
                    QStringLiteral("中止が押されたときには、メールはもうサーバーに"
                                   "渡っていたため、送信されました。\n"));
            }
            if (!note.isEmpty() && !app.ending()) {
                app.desktop().message(owner.data(), note.trimmed(), QStringLiteral("確認"),
                                      Desktop::Buttons::Ok, Desktop::Icon::Exclamation);
            }
            return Submission::Sent;
        }
        if (result == TransportResult::Stopped) {
            return Submission::Stopped;
        }
        if (result == TransportResult::MayHaveGone) {
            QString message;
            app.transport().NMailGetMessage(message);
            if (!app.ending()) {
                app.desktop().message(owner.data(), message, QStringLiteral("確認"),
                                      Desktop::Buttons::Ok, Desktop::Icon::Exclamation);
            }
            return Submission::MayHaveGone;
        }
        // Once the user stopped the send, a mail that did not go needs neither a box nor
        // a question.
        if (app.ending() || stopAsked) {
            return Submission::NotSent;
        }
        const auto& certificate = app.transport().certificateProblem();
        if (result == TransportResult::ClearLoginNotAgreed) {
            // Once agreed, the same server cannot ask again: no loop.
            const std::optional<MailHost> host = parseMailHost(app.SmtpServer, kSmtpProtocol);
            if (!host ||
                !askToLogInWithoutTls(app.desktop(), owner.data(), QStringLiteral("SMTP"),
                                      host->authority(), securityFile) ||
                app.ending() || app.transport().smtpStopRequested()) {
                return Submission::NotSent;
            }
            continue;
        }
        if (result != TransportResult::UntrustedCertificate || !certificate) {
            break;
        }
        // Once pinned, the same server can only fail as a changed certificate: no loop.
        if (!askToTrustCertificate(app.desktop(), owner.data(), title, *certificate, pinFile) ||
            app.ending() || app.transport().smtpStopRequested()) {
            return Submission::NotSent;
        }
    }
    QString message;
    app.transport().NMailGetMessage(message);
    app.desktop().message(owner.data(), message, title);
    return Submission::NotSent;
}

void StopSending(QuillpostApp& app) {
    app.transport().setSmtpStopRequested(true);
}

bool SmtpServerReady(QuillpostApp& app, QWidget* parent) {
    const QString server = app.SmtpServer.trimmed();
    if (!server.isEmpty() && parseMailHost(server, kSmtpProtocol)) {
        return true;
    }
    const QString what =
        server.isEmpty()
            ? QStringLiteral("送信に使うSMTPサーバーが設定されていないため、送信できません。")
            : QStringLiteral("SMTPサーバーの設定「%1」が正しくないため、送信できません。")
                  .arg(app.SmtpServer);
    app.desktop().message(
        parent, what + QStringLiteral("サーバーの設定画面でSMTPサーバーを設定してください。"),
        QStringLiteral("送信エラー"));
    if (!app.ending()) {
        app.optionForm().show();
    }
    return false;
}

bool RecipientGiven(QuillpostApp& app, QWidget* parent, const QString& recipients) {
    if (!splitRecipients(recipients).isEmpty()) {
        return true;
    }
    app.desktop().message(
        parent,
        QStringLiteral("宛先が入力されていません。宛先のアドレスを入力してから送信してください。"),
        QStringLiteral("送信エラー"));
    return false;
}

void SetSendingLamp(QuillpostApp& app, bool on) {
    // While the program ends the main window may be gone; asking for it would load it anew.
    if (app.ending()) {
        return;
    }
    QTimer* lamp = app.mainForm().Timer1;
    if (on) {
        lamp->start(500);
    } else {
        lamp->stop();
        lamp->setInterval(0);
    }
}
