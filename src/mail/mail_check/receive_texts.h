#pragma once

#include <QList>
#include <QString>

#include "transport/mail_failure.h"

// The text of the one box a mail check shows for what went wrong: for each failure what
// happened and what to do on one line, the technical detail on the next. Mails left on
// the server for reasons of their own are told together.
QString receiveFailureText(const QList<MailFailure>& failures);
