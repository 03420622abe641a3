#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Recipients as the user types them and the suite stores them: "address" or
// "display name <address>", the name in double quotes where it holds a comma or another
// character that would break the list apart.

// The recipients of a comma-separated list; commas inside double quotes or angle brackets
// do not separate.
QStringList splitRecipients(const QString& list);
// The address of one recipient, without its display name.
QByteArray bareAddress(const QString& recipient);
// The display name of one recipient, without quotes; empty when it has none.
QString displayNameOf(const QString& recipient);
// "name <address>", the name quoted when it needs to be; the bare address without a name.
QString mailboxText(const QString& displayName, const QString& address);
// One stored sender ("name <address>", the name quoted or not) as a recipient that a list
// keeps whole: its name quoted where it needs to be.
QString senderAsRecipient(const QString& sender);
