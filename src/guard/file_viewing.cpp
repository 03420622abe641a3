#include "file_viewing.h"

#include <QMimeDatabase>
#include <QStringDecoder>

#include "cp932.h"
#include "durable_file.h"
#include "guard_texts.h"
#include "link_target.h"

QString joinFolderAndName(QStringView folder, QStringView name) {
    while (folder.endsWith(u'/') || folder.endsWith(u'\\')) {
        folder.chop(1);
    }
    return folder.toString() + u'/' + name.toString();
}

ViewKind viewKindOf(const QString& path, const QByteArray& head) {
    const QMimeType type = QMimeDatabase().mimeTypeForFileNameAndData(path, head);
    if (type.inherits(QStringLiteral("text/html")) ||
        type.inherits(QStringLiteral("application/xhtml+xml"))) {
        return ViewKind::Html;
    }
    if (type.inherits(QStringLiteral("text/plain"))) {
        return ViewKind::Text;
    }
    return ViewKind::Other;
}

QString cutNotice() {
    return guard_text::kCutNotice.toString().arg(kShownTextLimit >> 20);
}

QString textForViewing(const FileHead& head) {
    const QByteArray shown = head.bytes.left(kShownTextLimit);
    // A character cut at the end stays pending in the decoder: no error for valid UTF-8.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(shown);
    if (utf8.hasError()) {
        text = decodeCp932(shown);
    }
    if (head.cut || head.bytes.size() > kShownTextLimit) {
        return cutNotice() + QStringLiteral("\n\n") + text;
    }
    return text;
}

QString copyFileSafely(const QString& source, const QString& target) {
    RegularFile in(source);
    if (!in.isOpen()) {
        return in.failure();
    }
    DurableFile out(linkTarget(target));
    if (!out.open()) {
        return out.errorString();
    }
    QByteArray chunk(1 << 16, Qt::Uninitialized);
    for (;;) {
        const qint64 got = in.read(chunk.data(), chunk.size());
        if (got < 0) {
            return in.failure();
        }
        if (got == 0) {
            break;
        }
        if (!out.write(QByteArrayView(chunk.constData(), got))) {
            return out.errorString();
        }
    }
    return out.commit() ? QString() : out.errorString();
}
