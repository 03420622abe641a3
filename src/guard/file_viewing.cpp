#include "file_viewing.h"

#include <QFile>
#include <QMimeDatabase>
#include <QSaveFile>
#include <QStringDecoder>

#include "cp932.h"

QString joinFolderAndName(QStringView folder, QStringView name) {
    while (folder.endsWith(u'/') || folder.endsWith(u'\\')) {
        folder.chop(1);
    }
    return folder.toString() + u'/' + name.toString();
}

ViewKind viewKindOf(const QString& path) {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    if (type.inherits(QStringLiteral("text/html")) ||
        type.inherits(QStringLiteral("application/xhtml+xml"))) {
        return ViewKind::Html;
    }
    if (type.inherits(QStringLiteral("text/plain"))) {
        return ViewKind::Text;
    }
    return ViewKind::Other;
}

QString readTextForViewing(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? decodeCp932(bytes) : text;
}

QString copyFileSafely(const QString& source, const QString& target) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        return in.errorString();
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        return out.errorString();
    }
    QByteArray chunk(1 << 16, Qt::Uninitialized);
    for (;;) {
        const qint64 got = in.read(chunk.data(), chunk.size());
        if (got < 0) {
            out.cancelWriting();
            return in.errorString();
        }
        if (got == 0) {
            break;
        }
        if (out.write(chunk.constData(), got) != got) {
            out.cancelWriting();
            return out.errorString();
        }
    }
    return out.commit() ? QString() : out.errorString();
}
