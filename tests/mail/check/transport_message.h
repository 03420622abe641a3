#pragma once

#include <QString>

#include "transport/nmail.h"

// The message of the transport's last failure.
inline QString messageOf(NMail& transport) {
    QString message;
    transport.NMailGetMessage(message);
    return message;
}
