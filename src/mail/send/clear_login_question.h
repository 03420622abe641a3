#pragma once

#include <QString>

class Desktop;
class QWidget;

// Asks whether the account may cross to a server that offers no encryption, naming the
// server and what is at stake. Yes is kept in `securityFile` for that server, so it is
// asked once. True when agreed and kept: the caller tries again (a Yes that cannot be kept
// is told, and the account stays home).
bool askToLogInWithoutTls(Desktop& desktop, QWidget* parent, const QString& service,
                          const QString& authority, const QString& securityFile);
