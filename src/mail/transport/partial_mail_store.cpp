#include "partial_mail_store.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include "header_text.h"

namespace {

constexpr char kPieceFolder[] = ".partial-mail";
// No sender splits a mail into more pieces than this.
constexpr int kMaxPieces = 1000;

QString pieceKey(const QByteArray& id) {
    return QString::fromLatin1(
        QCryptographicHash::hash(id, QCryptographicHash::Sha1).toHex().left(20));
}

bool writeFile(const QString& path, QByteArrayView bytes, QString& error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), bytes.size()) != bytes.size() || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

PartialOutcome keepPartialMail(const QString& folder, const PartialMailInfo& info,
                               QByteArrayView mail) {
    PartialOutcome outcome;
    if (info.id.isEmpty() || info.number < 1 || info.number > kMaxPieces ||
        info.total > kMaxPieces || (info.total > 0 && info.number > info.total)) {
        return outcome;
    }
    QDir dir(folder);
    if (!dir.exists(QLatin1String(kPieceFolder)) && !dir.mkdir(QLatin1String(kPieceFolder))) {
        outcome.state = PartialState::Failed;
        outcome.error = QStringLiteral("cannot create %1").arg(dir.filePath(kPieceFolder));
        return outcome;
    }
    QDir pieces(dir.filePath(kPieceFolder));
    const QString key = pieceKey(info.id);
    const auto piecePath = [&](int number) {
        return pieces.filePath(key + u'-' + QString::number(number) + QStringLiteral(".eml"));
    };
    const QString totalPath = pieces.filePath(key + QStringLiteral(".total"));
    if (!writeFile(piecePath(info.number), mail, outcome.error) ||
        (info.total > 0 && !writeFile(totalPath, QByteArray::number(info.total), outcome.error))) {
        outcome.state = PartialState::Failed;
        return outcome;
    }
    const int total = readFile(totalPath).toInt();
    outcome.state = PartialState::Missing;
    if (total < 1) {
        return outcome;
    }
    for (int number = 1; number <= total; ++number) {
        if (!QFile::exists(piecePath(number))) {
            return outcome;
        }
    }
    // The first piece's body begins with the header of the whole mail; the bodies joined
    // in order are the whole mail.
    for (int number = 1; number <= total; ++number) {
        outcome.rebuiltMail += bodyAfterHeader(readFile(piecePath(number)));
    }
    for (int number = 1; number <= total; ++number) {
        QFile::remove(piecePath(number));
    }
    QFile::remove(totalPath);
    dir.rmdir(QLatin1String(kPieceFolder));
    outcome.state = PartialState::Complete;
    return outcome;
}
