#include "transport/smtp_security.h"

namespace {

// The keyword of one EHLO line ("STARTTLS" of "250-STARTTLS"), empty for other lines.
QByteArrayView keywordOf(QByteArrayView line) {
    if (line.size() < 5 || !line.startsWith("250") || (line[3] != '-' && line[3] != ' ')) {
        return {};
    }
    QByteArrayView rest = line.sliced(4).trimmed();
    const qsizetype space = rest.indexOf(' ');
    return space < 0 ? rest : rest.first(space);
}

}  // namespace

void noteSmtpAnswer(SmtpOffer& offer, QByteArrayView lines) {
    qsizetype start = 0;
    while (start < lines.size()) {
        qsizetype end = lines.indexOf('\n', start);
        if (end < 0) {
            end = lines.size();
        }
        const QByteArrayView keyword = keywordOf(lines.sliced(start, end - start).trimmed());
        if (keyword.compare("STARTTLS", Qt::CaseInsensitive) == 0) {
            offer.startTls = true;
        } else if (keyword.compare("AUTH", Qt::CaseInsensitive) == 0) {
            offer.auth = true;
        }
        start = end + 1;
    }
}
