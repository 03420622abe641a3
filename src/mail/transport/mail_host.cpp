#include "transport/mail_host.h"

#include <QHostAddress>

QString MailHost::authority() const {
    const QString shownHost = host.contains(u':') ? u'[' + host + u']' : host;
    return shownHost + u':' + QString::number(port);
}

std::optional<MailHost> parseMailHost(QStringView value, const MailProtocol& protocol) {
    QStringView rest = value.trimmed();
    MailHost result;
    result.port = protocol.plainPort;
    if (const qsizetype scheme = rest.indexOf(u"://"); scheme >= 0) {
        const QStringView name = rest.first(scheme);
        if (name.compare(protocol.tlsScheme, Qt::CaseInsensitive) == 0) {
            result.tls = true;
            result.port = protocol.tlsPort;
        } else if (name.compare(protocol.plainScheme, Qt::CaseInsensitive) != 0) {
            return std::nullopt;
        }
        rest = rest.sliced(scheme + 3);
    }
    while (rest.endsWith(u'/')) {
        rest.chop(1);
    }
    QStringView portText;
    if (rest.startsWith(u'[')) {
        const qsizetype close = rest.indexOf(u']');
        if (close < 0) {
            return std::nullopt;
        }
        result.host = rest.sliced(1, close - 1).toString();
        const QStringView after = rest.sliced(close + 1);
        if (after.startsWith(u':')) {
            portText = after.sliced(1);
        } else if (!after.isEmpty()) {
            return std::nullopt;
        }
    } else if (const qsizetype colon = rest.indexOf(u':'); colon >= 0) {
        result.host = rest.first(colon).toString();
        portText = rest.sliced(colon + 1);
    } else {
        result.host = rest.toString();
    }
    if (!portText.isNull()) {
        bool number = false;
        result.port = portText.toInt(&number);
        if (!number || result.port < 1 || result.port > 65535) {
            return std::nullopt;
        }
    }
    if (result.host.isEmpty() || result.host.contains(u'/') || result.host.contains(u' ')) {
        return std::nullopt;
    }
    return result;
}

bool isLoopbackHost(QStringView host) {
    if (host.compare(u"localhost", Qt::CaseInsensitive) == 0) {
        return true;
    }
    const QHostAddress address(host.toString());
    return !address.isNull() && address.isLoopback();
}
