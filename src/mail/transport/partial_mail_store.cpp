#include "transport/partial_mail_store.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <optional>

#include "durable_file.h"
#include "transport/header_text.h"

namespace {

constexpr char kPieceFolder[] = ".partial-mail";
constexpr char kStoredList[] = "stored-pieces.txt";
// No sender splits a mail into more pieces than this.
constexpr int kMaxPieces = 1000;

QString pieceKey(const QByteArray& id) {
    return QString::fromLatin1(
        QCryptographicHash::hash(id, QCryptographicHash::Sha1).toHex().left(20));
}

// The whole file, or nothing when it cannot be read to its end.
std::optional<QByteArray> readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    return file.error() == QFileDevice::NoError ? std::optional(bytes) : std::nullopt;
}

// The fields of a header block, each with its continuation lines and line end.
QList<QByteArrayView> headerFields(QByteArrayView header) {
    QList<QByteArrayView> fields;
    qsizetype start = 0;
    while (start < header.size()) {
        qsizetype end = header.indexOf('\n', start);
        while (end >= 0 && end + 1 < header.size() &&
               (header[end + 1] == ' ' || header[end + 1] == '\t')) {
            end = header.indexOf('\n', end + 1);
        }
        end = end < 0 ? header.size() : end + 1;
        fields.append(header.sliced(start, end - start));
        start = end;
    }
    return fields;
}

// The fields that the enclosed message gives the rebuilt one; the first piece's own
// header gives all the others (RFC 2046 5.2.2.1).
bool isEnclosedField(QByteArrayView field) {
    const qsizetype colon = field.indexOf(':');
    const QByteArrayView name = colon < 0 ? QByteArrayView() : field.first(colon).trimmed();
    if (name.isEmpty()) {
        return false;
    }
    if (name.size() >= 8 && name.first(8).compare("Content-", Qt::CaseInsensitive) == 0) {
        return true;
    }
    for (const char* own : {"Subject", "Message-ID", "Encrypted", "MIME-Version"}) {
        if (name.compare(own, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

void appendField(QByteArray& header, QByteArrayView field) {
    header += field;
    if (!field.endsWith('\n')) {
        header += "\r\n";
    }
}

// The whole mail from the first piece and the pieces' bodies joined in order, which
// begin with the enclosed message's header.
QByteArray rebuiltMail(QByteArrayView firstPiece, QByteArrayView joinedBodies) {
    QByteArray mail;
    // The fields are views into the header blocks, which must outlive them.
    const QByteArray outer = headerBlock(firstPiece);
    const QByteArray enclosed = headerBlock(joinedBodies);
    for (QByteArrayView field : headerFields(outer)) {
        if (!isEnclosedField(field)) {
            appendField(mail, field);
        }
    }
    for (QByteArrayView field : headerFields(enclosed)) {
        if (isEnclosedField(field)) {
            appendField(mail, field);
        }
    }
    return mail + "\r\n" + bodyAfterHeader(joinedBodies);
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
    // A piece that was not kept whole stays on the server and comes again: a file of it
    // left here would complete the mail now, and its next coming would wait forever.
    const bool pieceWasKept = QFile::exists(piecePath(info.number));
    if (!writeFileDurably(piecePath(info.number), mail, outcome.error, FolderSync::Later,
                          FileAccess::OwnerOnly)) {
        outcome.state = PartialState::Failed;
        return outcome;
    }
    if (info.total > 0 && !writeFileDurably(totalPath, QByteArray::number(info.total),
                                            outcome.error, FolderSync::Later)) {
        if (!pieceWasKept) {
            QFile::remove(piecePath(info.number));
        }
        outcome.state = PartialState::Failed;
        return outcome;
    }
    const int total = readFile(totalPath).value_or(QByteArray()).toInt();
    outcome.state = PartialState::Missing;
    if (total < 1) {
        return outcome;
    }
    for (int number = 1; number <= total; ++number) {
        if (!QFile::exists(piecePath(number))) {
            return outcome;
        }
    }
    QByteArray firstPiece;
    QByteArray joinedBodies;
    for (int number = 1; number <= total; ++number) {
        const std::optional<QByteArray> piece = readFile(piecePath(number));
        if (!piece) {
            // A piece that cannot be read would rebuild a cut mail: nothing is joined.
            outcome.state = PartialState::Failed;
            outcome.error = QStringLiteral("cannot read %1").arg(piecePath(number));
            return outcome;
        }
        if (number == 1) {
            firstPiece = *piece;
        }
        joinedBodies += bodyAfterHeader(*piece);
    }
    outcome.rebuiltMail = rebuiltMail(firstPiece, joinedBodies);
    for (int number = 1; number <= total; ++number) {
        outcome.pieceFiles.append(piecePath(number));
    }
    outcome.pieceFiles.append(totalPath);
    outcome.state = PartialState::Complete;
    return outcome;
}

QString partialMailFolder(const QString& folder) {
    return QDir(folder).filePath(QLatin1String(kPieceFolder));
}

void removePieces(const QStringList& pieceFiles) {
    if (pieceFiles.isEmpty()) {
        return;
    }
    for (const QString& path : pieceFiles) {
        QFile::remove(path);
    }
    const QDir pieces = QFileInfo(pieceFiles.first()).absoluteDir();
    QFile::remove(pieces.filePath(QLatin1String(kStoredList)));
    QDir().rmdir(pieces.path());
}

bool noteStoredPieces(const QString& folder, const QStringList& pieceFiles, QString& error) {
    QStringList names;
    for (const QString& path : storedPieces(folder) + pieceFiles) {
        names.append(QFileInfo(path).fileName());
    }
    names.removeDuplicates();
    return writeFileDurably(QDir(partialMailFolder(folder)).filePath(QLatin1String(kStoredList)),
                            names.join(u'\n').toUtf8(), error);
}

QStringList storedPieces(const QString& folder) {
    const QDir pieces(partialMailFolder(folder));
    QStringList paths;
    const QByteArray list = readFile(pieces.filePath(QLatin1String(kStoredList))).value_or("");
    for (const QByteArray& name : list.split('\n')) {
        // Only plain names of this folder: the list is never a way out of it.
        const QString piece = QString::fromUtf8(name);
        if (!piece.isEmpty() && !piece.contains(u'/') && !piece.startsWith(u'.')) {
            paths.append(pieces.filePath(piece));
        }
    }
    return paths;
}
