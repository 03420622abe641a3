#pragma once

#include <QByteArray>
#include <QString>

// What a user should read first when the server refused the login: the response code of
// the reply (RFC 2449, 3206) tells a locked mailbox, a login too soon after the last one
// or a server in trouble apart from a wrong password, and each needs other action.
QString loginRefusedText(const QByteArray& reply);
