#include "transport/certificate_pins.h"

#include <QFile>
#include <QSaveFile>

#include "app_folder.h"
#include "cp932.h"
#include "transport/certificate_problem.h"

namespace {

struct PinLine {
    QString authority;
    QByteArray sha256;
};

// Empty fields for a line that holds no pin.
PinLine readLine(QByteArrayView bytes) {
    const QStringList fields =
        decodeCp932(bytes).trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (fields.size() != 2) {
        return {};
    }
    const QByteArray sha256 = parseFingerprint(fields[1]);
    return sha256.isEmpty() ? PinLine{} : PinLine{fields[0], sha256};
}

QList<QByteArray> fileLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QList<QByteArray> lines = file.readAll().split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
    }
    while (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

bool sameServer(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

QString pinnedCertificatesPath(const QString& folder) {
    return appPath(folder, u"\\★MailData\\pinned-certificates.txt");
}

QByteArray pinnedCertificate(const QString& path, const QString& authority) {
    for (const QByteArray& line : fileLines(path)) {
        const PinLine pin = readLine(line);
        if (sameServer(pin.authority, authority)) {
            return pin.sha256;
        }
    }
    return {};
}

bool pinCertificate(const QString& path, const QString& authority, const QByteArray& sha256,
                    QString& error) {
    QByteArray text;
    for (const QByteArray& line : fileLines(path)) {
        if (!sameServer(readLine(line).authority, authority)) {
            text += line + "\r\n";
        }
    }
    text += encodeCp932(authority + u' ' + formatFingerprint(sha256)) + "\r\n";
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        error = QStringLiteral("信頼する証明書を %1 に記録できませんでした。\n(%2)")
                    .arg(path, file.errorString());
        return false;
    }
    return true;
}
