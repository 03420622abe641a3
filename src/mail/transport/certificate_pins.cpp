#include "transport/certificate_pins.h"

#include <QList>
#include <QStringList>

#include "app_folder.h"
#include "cp932.h"
#include "durable_file.h"
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

// The file's lines; none when it is missing. False when it exists and cannot be read whole.
bool fileLines(const QString& path, QList<QByteArray>& lines, QString& error) {
    QByteArray bytes;
    if (!readWholeFile(path, bytes, error)) {
        return false;
    }
    lines = bytes.split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
    }
    while (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return true;
}

bool sameServer(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

QString pinnedCertificatesPath(const QString& folder) {
    return appPath(folder, u"\\★MailData\\pinned-certificates.txt");
}

QByteArray pinnedCertificate(const QString& path, const QString& authority) {
    QList<QByteArray> lines;
    QString error;
    fileLines(path, lines, error);
    for (const QByteArray& line : lines) {
        const PinLine pin = readLine(line);
        if (sameServer(pin.authority, authority)) {
            return pin.sha256;
        }
    }
    return {};
}

bool pinCertificate(const QString& path, const QString& authority, const QByteArray& sha256,
                    QString& error) {
    QList<QByteArray> lines;
    QString reason;
    // Written back from a file read in part, the other servers' pins would be lost.
    if (!fileLines(path, lines, reason)) {
        error = QStringLiteral("信頼する証明書の記録 %1 を読めないため、記録しませんでした。\n(%2)")
                    .arg(path, reason);
        return false;
    }
    QByteArray text;
    for (const QByteArray& line : lines) {
        if (!sameServer(readLine(line).authority, authority)) {
            text += line + "\r\n";
        }
    }
    text += encodeCp932(authority + u' ' + formatFingerprint(sha256)) + "\r\n";
    if (!writeFileDurably(path, text, reason, FolderSync::Now, FileAccess::OwnerOnly)) {
        error = QStringLiteral(
                    "信頼する証明書を記録できませんでした。ディスクの空きと、"
                    "★MailDataフォルダに書き込めるかを確かめてください。\n%1 (%2)")
                    .arg(path, reason);
        return false;
    }
    return true;
}
