#include "mail_submission.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "certificate_pins.h"
#include "certificate_question.h"
#include "desktop.h"
#include "main_form.h"
#include "quillpost_app.h"
#include "settings_files.h"
#include "transport_results.h"

bool SubmitMail(QuillpostApp& app, QWidget* parent, const QString& to, const QString& subject,
                const QString& body, const QString& attachments) {
    AccountSettings account{app.AccountId, app.AccountPassword};
    if (account.AccountId.isEmpty()) {
        account = readAccountSettings(app.folder());
    }
    app.transport().setSmtpAccount(account.AccountId, account.AccountPassword);
    const QString pinFile = pinnedCertificatesPath(app.folder());
    app.transport().setPinnedCertificates(pinFile);
    const QString title = QStringLiteral("送信エラー");

    // The transport and the boxes process events, so the window may close meanwhile.
    const QPointer<QWidget> owner(parent);
    while (true) {
        const int result = app.transport().NMailSmtpSendMail(app.SmtpServer, to, app.MailAddress,
                                                             subject, body, attachments);
        if (result >= 0) {
            return true;
        }
        if (app.ending()) {
            return false;
        }
        const auto& certificate = app.transport().certificateProblem();
        if (result != TransportResult::UntrustedCertificate || !certificate) {
            break;
        }
        // Once pinned, the same server can only fail as a changed certificate: no loop.
        if (!askToTrustCertificate(app.desktop(), owner.data(), title, *certificate, pinFile) ||
            app.ending()) {
            return false;
        }
    }
    QString message;
    app.transport().NMailGetMessage(message);
    app.desktop().message(owner.data(), message, title);
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
