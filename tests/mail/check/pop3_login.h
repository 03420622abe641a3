#pragma once

#include <QList>
#include <QString>

#include <memory>
#include <optional>

#include "transport/mail_failure.h"
#include "transport/pop3_session.h"

class NMail;

// A POP3 session of `transport`, connected to `host` and logged in, as the mail check
// makes one: the session, the mailbox it listed, or the failure that stopped it.
struct Pop3Login {
    std::shared_ptr<Pop3Session> session;
    QList<ListedMail> mailbox;
    std::optional<MailFailure> failure;
};

Pop3Login logIn(NMail& transport, const QString& host, const QString& id, const QString& password,
                bool apop = false);

// The number of waiting mails after a login, -1 when it failed; the session is closed.
int waitingMails(NMail& transport, const QString& host, const QString& id, const QString& password,
                 bool apop = false);
