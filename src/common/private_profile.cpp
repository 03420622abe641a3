#include "private_profile.h"

#include <QList>

#include <optional>

#include "cp932.h"

// The file is handled line by line rather than through an INI library: Windows reads the
// first of duplicated keys and only the first of duplicated sections, and a write changes
// one line and keeps every other byte, which a parse-and-save round trip cannot promise.
namespace {

constexpr int kValueBytes = 255;

// One line of the file with its own line end (CR LF, LF or none at the end of the file).
struct Line {
    QByteArray text;
    QByteArray end;
};

// The file's lines; nothing when it is missing. False when it exists and cannot be read
// to its end.
bool readLines(const QString& path, QList<Line>& lines, QString& error) {
    lines.clear();
    QByteArray bytes;
    if (!readWholeFile(path, bytes, error)) {
        return false;
    }
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', at);
        const qsizetype stop = newline < 0 ? bytes.size() : newline;
        const qsizetype textEnd = stop > at && bytes[stop - 1] == '\r' ? stop - 1 : stop;
        lines.append({bytes.mid(at, textEnd - at),
                      newline < 0 ? QByteArray() : bytes.mid(textEnd, newline + 1 - textEnd)});
        at = newline < 0 ? bytes.size() : newline + 1;
    }
    return true;
}

bool sameName(const QByteArray& a, const QString& b) {
    return decodeCp932(a).compare(b, Qt::CaseInsensitive) == 0;
}

// The section a line opens, or nothing when it opens none.
std::optional<QByteArray> sectionOf(const Line& line) {
    const QByteArray text = line.text.trimmed();
    const qsizetype close = text.indexOf(']');
    if (!text.startsWith('[') || close < 0) {
        return std::nullopt;
    }
    return text.mid(1, close - 1).trimmed();
}

// The key a line sets, or nothing for comments, blank lines and lines without "=".
std::optional<QByteArray> keyOf(const Line& line) {
    const QByteArray text = line.text.trimmed();
    const qsizetype equals = text.indexOf('=');
    if (text.startsWith(';') || equals < 0) {
        return std::nullopt;
    }
    return text.left(equals).trimmed();
}

// Lines [first, last) are the body of the first section named `section`; first is -1 when
// the file has none.
std::pair<qsizetype, qsizetype> sectionBody(const QList<Line>& lines, const QString& section) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto name = sectionOf(lines[i]);
        if (!name || !sameName(*name, section)) {
            continue;
        }
        qsizetype last = i + 1;
        while (last < lines.size() && !sectionOf(lines[last])) {
            ++last;
        }
        return {i + 1, last};
    }
    return {-1, -1};
}

// The line of the first `key` in the body, -1 when there is none.
qsizetype keyLine(const QList<Line>& lines, std::pair<qsizetype, qsizetype> body,
                  const QString& key) {
    for (qsizetype i = body.first; i >= 0 && i < body.second; ++i) {
        const auto name = keyOf(lines[i]);
        if (name && sameName(*name, key)) {
            return i;
        }
    }
    return -1;
}

QByteArray unquoted(QByteArray value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.mid(1, value.size() - 2);
    }
    return value;
}

QByteArray cutAtCharacter(const QByteArray& bytes, int limit) {
    qsizetype kept = 0;
    while (kept < bytes.size()) {
        const qsizetype next =
            kept + (isCp932LeadByte(static_cast<unsigned char>(bytes[kept])) ? 2 : 1);
        if (next > limit) {
            break;
        }
        kept = next;
    }
    return bytes.left(kept);
}

// The raw value bytes, or nothing when the key is missing.
std::optional<QByteArray> rawValue(const QString& section, const QString& key,
                                   const QString& path) {
    // A file that cannot be read gives the defaults, as a missing one does.
    QList<Line> lines;
    QString error;
    readLines(path, lines, error);
    const qsizetype at = keyLine(lines, sectionBody(lines, section), key);
    if (at < 0) {
        return std::nullopt;
    }
    const QByteArray& text = lines[at].text;
    return unquoted(text.mid(text.indexOf('=') + 1).trimmed());
}

}  // namespace

QString GetPrivateProfileString(const QString& section, const QString& key,
                                const QString& defaultValue, const QString& path) {
    const auto value = rawValue(section, key, path);
    if (!value) {
        return defaultValue;
    }
    return decodeCp932(cutAtCharacter(*value, kValueBytes));
}

int GetPrivateProfileInt(const QString& section, const QString& key, int defaultValue,
                         const QString& path) {
    const auto value = rawValue(section, key, path);
    if (!value || value->isEmpty()) {
        return defaultValue;
    }
    QByteArrayView text = QByteArrayView(*value).trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text = text.sliced(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text = text.sliced(2);
    }
    qint64 number = 0;
    for (char c : text) {
        const int digit = QChar::fromLatin1(c).isDigit() ? c - '0'
                          : (base == 16 && QByteArrayView("abcdefABCDEF").contains(c))
                              ? (c | 0x20) - 'a' + 10
                              : -1;
        if (digit < 0) {
            break;
        }
        number = (number * base + digit) & 0xFFFFFFFF;
    }
    return static_cast<int>(static_cast<quint32>(negative ? -number : number));
}

bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& path, FileAccess access, QString* reason) {
    return WritePrivateProfileStrings(section, {{key, value}}, path, access, reason);
}

bool WritePrivateProfileStrings(const QString& section, const QList<ProfileSetting>& settings,
                                const QString& path, FileAccess access, QString* reason) {
    QString error;
    // A file that exists but cannot be read whole is not written: its other settings would
    // be lost.
    QList<Line> lines;
    if (!readLines(path, lines, error)) {
        if (reason != nullptr) {
            *reason = error;
        }
        return false;
    }
    const QByteArray lineEnd = QByteArrayLiteral("\r\n");
    for (const auto& [key, value] : settings) {
        const QByteArray setting = encodeCp932(key) + '=' + encodeCp932(value);
        const auto body = sectionBody(lines, section);
        const qsizetype at = keyLine(lines, body, key);
        if (at >= 0) {
            lines[at].text = setting;
            continue;
        }
        // A new key goes after the section's last line that is not blank; a new section
        // goes to the end of the file.
        qsizetype insertAt = body.second;
        if (body.first < 0) {
            lines.append({QByteArrayLiteral("[") + encodeCp932(section) + ']', lineEnd});
            insertAt = lines.size();
        } else {
            while (insertAt > body.first && lines[insertAt - 1].text.trimmed().isEmpty()) {
                --insertAt;
            }
        }
        lines.insert(insertAt, {setting, lineEnd});
    }
    QByteArray bytes;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        bytes += lines[i].text;
        // Only the file's last line may go without an end.
        bytes += lines[i].end.isEmpty() && i + 1 < lines.size() ? lineEnd : lines[i].end;
    }
    // Written whole and renamed into place, so a failed write keeps the old settings.
    if (!writeFileDurably(path, bytes, error, FolderSync::Now, access)) {
        if (reason != nullptr) {
            *reason = error;
        }
        return false;
    }
    return true;
}
