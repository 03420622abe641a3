#include "pop3_login.h"

#include "transport/mail_host.h"
#include "transport/nmail.h"

Pop3Login logIn(NMail& transport, const QString& host, const QString& id, const QString& password,
                bool apop) {
    Pop3Login login;
    const std::optional<MailHost> parsed = parseMailHost(host, kPop3Protocol);
    if (!parsed) {
        login.failure =
            MailFailure(MailFailure::What::BadServerSetting, MailFailure::Todo::CheckServerName);
        return login;
    }
    login.session = transport.pop3Session(*parsed);
    login.failure = login.session->open();
    if (!login.failure) {
        login.failure = login.session->login(id, password, apop, login.mailbox);
    }
    return login;
}

int waitingMails(NMail& transport, const QString& host, const QString& id, const QString& password,
                 bool apop) {
    Pop3Login login = logIn(transport, host, id, password, apop);
    if (login.session && login.session->alive()) {
        QList<MailFailure> refused;
        login.session->quit(refused);
    }
    return login.failure ? -1 : static_cast<int>(login.mailbox.size());
}
