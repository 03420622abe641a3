#include "archive_drop.h"

#include <QDir>
#include <QStringList>

#include "cp932.h"
#include "unlha_result_words.h"
// Only the module's result codes are shared with it, no code.
#include "../lha/unlha_result.h"

namespace {

// What went wrong and what to do first, then the fixed failure line with the code, or the
// folder a refused name would have extracted into.
QString failureText(const FailedArchive& failed) {
    if (!failed.result) {
        const DroppedArchive parts = splitDroppedPath(failed.path);
        return QStringLiteral(
                   "書庫の名前からは解凍先のフォルダを作れないため、解凍しませんでした。"
                   "書庫の名前を「書庫.lzh」のように変えてから、もう一度ドロップしてください。"
                   "\n解凍先: %1")
            .arg(QDir::toNativeSeparators(parts.folder + parts.baseName));
    }
    QString text = unlhaResultInWords(*failed.result) +
                   QStringLiteral("\n解凍に失敗しました。Error Code:0x") +
                   QString::number(static_cast<quint32>(*failed.result), 16).toUpper();
    if (*failed.result == kUnlhaCannotWrite && !failed.detail.isEmpty()) {
        text += u'\n' + failed.detail;
    }
    return text;
}

}  // namespace

DroppedArchive splitDroppedPath(const QString& path) {
    const qsizetype nameStart = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/')) + 1;
    const QString name = path.mid(nameStart);
    const qsizetype dot = name.lastIndexOf(u'.');
    return {path.left(nameStart), dot < 0 ? name : name.left(dot)};
}

bool namesOwnFolder(const DroppedArchive& parts) {
    return !parts.baseName.isEmpty() && parts.baseName != u"." && parts.baseName != u"..";
}

QString unlhaCommandLine(const QString& path) {
    const DroppedArchive parts = splitDroppedPath(path);
    return QStringLiteral("x -d1 -y1 \"%1\" \"%2%3\"\\ *.*")
        .arg(path, parts.folder, parts.baseName);
}

QByteArray unlhaCommandBytes(const QString& commandLine) {
    const QByteArray cp932 = encodeCp932(commandLine);
    if (decodeCp932(cp932) == commandLine) {
        return cp932;
    }
    return QByteArray("\xEF\xBB\xBF") + commandLine.toUtf8();
}

QString extractingStatus(int index, int count, const QString& path) {
    return QStringLiteral("Extracting(%1/%2):%3").arg(index).arg(count).arg(path);
}

QString failureMessage(const QList<FailedArchive>& failures, int droppedCount) {
    if (droppedCount == 1 && failures.size() == 1) {
        return failureText(failures.front());
    }
    QStringList lines;
    for (const FailedArchive& failed : failures) {
        lines.append(QStringLiteral("「%1」%2").arg(failed.path, failureText(failed)));
    }
    return lines.join(u'\n');
}
