#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Where a server setting points. "host" is the standard port without TLS, "host:port"
// chooses the port, "<tlsScheme>://host[:port]" uses TLS; "[v6]:port" works too.
struct MailHost {
    QString host;
    int port = 0;
    bool tls = false;

    // "host:port" as URLs and messages write it.
    QString authority() const;
};

struct MailProtocol {
    QStringView plainScheme;  // "pop3", "smtp"
    QStringView tlsScheme;    // "pop3s", "smtps"
    int plainPort;
    int tlsPort;
};

inline constexpr MailProtocol kPop3Protocol{u"pop3", u"pop3s", 110, 995};
inline constexpr MailProtocol kSmtpProtocol{u"smtp", u"smtps", 25, 465};

// Nothing when the value names no host or a port out of range.
std::optional<MailHost> parseMailHost(QStringView value, const MailProtocol& protocol);

// 127.0.0.0/8, ::1 and "localhost": connections that never leave this computer.
bool isLoopbackHost(QStringView host);
