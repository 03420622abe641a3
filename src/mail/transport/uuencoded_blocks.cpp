#include "transport/uuencoded_blocks.h"

#include <QRegularExpression>

namespace {

// One encoded line: its first character gives the byte count, then four characters carry
// three bytes. False for a line that is not uuencoding.
bool decodeLine(QStringView line, QByteArray& out) {
    if (line.isEmpty()) {
        return true;
    }
    const auto sixBits = [](QChar c) { return (c.unicode() - 0x20) & 0x3F; };
    if (line[0].unicode() < 0x20 || line[0].unicode() > 0x60) {
        return false;
    }
    const int count = sixBits(line[0]);
    QByteArray bytes;
    for (qsizetype i = 1; i < line.size() && bytes.size() < count; i += 4) {
        int group[4] = {0, 0, 0, 0};
        for (int k = 0; k < 4; ++k) {
            if (i + k < line.size()) {
                const ushort c = line[i + k].unicode();
                if (c < 0x20 || c > 0x60) {
                    return false;
                }
                group[k] = sixBits(line[i + k]);
            }
        }
        bytes += static_cast<char>((group[0] << 2) | (group[1] >> 4));
        bytes += static_cast<char>(((group[1] & 0x0F) << 4) | (group[2] >> 2));
        bytes += static_cast<char>(((group[2] & 0x03) << 6) | group[3]);
    }
    out += bytes.first(std::min<qsizetype>(count, bytes.size()));
    return true;
}

}  // namespace

UuencodedExtraction extractUuencoded(const QString& text) {
    static const QRegularExpression begin(QStringLiteral(R"(^begin [0-7]{3,4} (.+?)\r?$)"));
    UuencodedExtraction result;
    const QStringList lines = text.split(u'\n');
    QStringList kept;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QRegularExpressionMatch match = begin.match(lines[i]);
        if (!match.hasMatch()) {
            kept.append(lines[i]);
            continue;
        }
        QByteArray content;
        qsizetype j = i + 1;
        bool complete = false;
        for (; j < lines.size(); ++j) {
            QStringView line = QStringView(lines[j]);
            if (line.endsWith(u'\r')) {
                line.chop(1);
            }
            if (line == u"end") {
                complete = true;
                break;
            }
            if (!decodeLine(line, content)) {
                break;
            }
        }
        if (!complete) {
            kept.append(lines[i]);
            continue;
        }
        result.files.append({match.captured(1), content});
        i = j;
    }
    result.text = kept.join(u'\n');
    return result;
}
