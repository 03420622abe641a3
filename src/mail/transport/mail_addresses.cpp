#include "transport/mail_addresses.h"

namespace {

// Characters that end or split an unquoted display name in an address list.
bool needsQuotes(const QString& name) {
    for (QChar c : name) {
        if (QStringView(u",;:<>@\"\\()[]").contains(c)) {
            return true;
        }
    }
    return false;
}

// Where the display name ends: at the last '<' outside double quotes, or -1.
qsizetype angleOpen(const QString& recipient) {
    bool quoted = false;
    qsizetype open = -1;
    for (qsizetype i = 0; i < recipient.size(); ++i) {
        const QChar c = recipient[i];
        if (quoted && c == u'\\') {
            ++i;
        } else if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && c == u'<') {
            open = i;
        }
    }
    return open;
}

}  // namespace

QStringList splitRecipients(const QString& list) {
    QStringList recipients;
    bool quoted = false;
    int angle = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= list.size(); ++i) {
        const QChar c = i < list.size() ? list[i] : QChar(u',');
        if (quoted && c == u'\\') {
            ++i;
        } else if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && c == u'<') {
            ++angle;
        } else if (!quoted && c == u'>' && angle > 0) {
            --angle;
        } else if (c == u',' && ((!quoted && angle == 0) || i == list.size())) {
            const QString piece = list.sliced(start, std::min(i, list.size()) - start).trimmed();
            if (!piece.isEmpty()) {
                recipients.append(piece);
            }
            start = i + 1;
        }
    }
    return recipients;
}

QByteArray bareAddress(const QString& recipient) {
    const qsizetype open = angleOpen(recipient);
    const qsizetype close = recipient.indexOf(u'>', open + 1);
    const QString address =
        open >= 0 && close > open ? recipient.sliced(open + 1, close - open - 1) : recipient;
    return address.trimmed().toUtf8();
}

QString displayNameOf(const QString& recipient) {
    const qsizetype open = angleOpen(recipient);
    QString name = open > 0 ? recipient.first(open).trimmed() : QString();
    if (name.size() >= 2 && name.startsWith(u'"') && name.endsWith(u'"')) {
        QString unquoted;
        for (qsizetype i = 1; i + 1 < name.size(); ++i) {
            if (name[i] == u'\\' && i + 2 < name.size()) {
                ++i;
            }
            unquoted += name[i];
        }
        name = unquoted;
    }
    return name;
}

QString mailboxText(const QString& displayName, const QString& address) {
    if (displayName.isEmpty()) {
        return address;
    }
    QString name = displayName;
    if (needsQuotes(name)) {
        name.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
        name = u'"' + name + u'"';
    }
    return name + QStringLiteral(" <") + address + u'>';
}

QString senderAsRecipient(const QString& sender) {
    if (angleOpen(sender) < 0) {
        return sender;
    }
    return mailboxText(displayNameOf(sender), QString::fromUtf8(bareAddress(sender)));
}
