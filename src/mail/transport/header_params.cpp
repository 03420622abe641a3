#include "transport/header_params.h"

#include <QList>

#include "cp932.h"
#include "transport/header_text.h"
#include "transport/mail_charset.h"

namespace {

bool isCp932TrailByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// The length of the character at `at`: two bytes for a code page 932 double-byte
// character, whose trail byte may be 0x5C, a backslash that escapes nothing.
qsizetype characterLength(QByteArrayView value, qsizetype at, bool cp932) {
    const bool pair = cp932 && at + 1 < value.size() &&
                      isCp932LeadByte(static_cast<unsigned char>(value[at])) &&
                      isCp932TrailByte(value[at + 1]);
    return pair ? 2 : 1;
}

// Splits at semicolons outside quoted strings.
QList<QByteArray> splitParameters(QByteArrayView value, bool cp932) {
    QList<QByteArray> pieces;
    QByteArray current;
    bool quoted = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (const qsizetype length = characterLength(value, i, cp932); length == 2) {
            current += value.sliced(i, 2);
            ++i;
            continue;
        }
        if (quoted && c == '\\' && i + 1 < value.size()) {
            current += c;
            current += value[++i];
            continue;
        }
        if (c == '"') {
            quoted = !quoted;
        }
        if (c == ';' && !quoted) {
            pieces.append(current.trimmed());
            current.clear();
        } else if (c != '\r' && c != '\n') {
            current += c;
        }
    }
    pieces.append(current.trimmed());
    return pieces;
}

QByteArray unquote(QByteArrayView value, bool cp932) {
    const QByteArrayView trimmed = value.trimmed();
    if (trimmed.size() < 2 || !trimmed.startsWith('"') || !trimmed.endsWith('"')) {
        return trimmed.toByteArray();
    }
    QByteArray out;
    const QByteArrayView inner = trimmed.sliced(1, trimmed.size() - 2);
    for (qsizetype i = 0; i < inner.size(); ++i) {
        const qsizetype length = characterLength(inner, i, cp932);
        if (length == 1 && inner[i] == '\\' && i + 1 < inner.size()) {
            ++i;
        }
        out += inner.sliced(i, length);
        i += length - 1;
    }
    return out;
}

QByteArray percentDecode(QByteArrayView text) {
    return QByteArray::fromPercentEncoding(text.toByteArray());
}

// The sections of one RFC 2231 parameter, "name*0*", "name*1" ... or the single "name*".
struct ExtendedValue {
    QByteArray charset;
    QMap<int, QByteArray> sections;
};

}  // namespace

ParameterField parseParameterField(QByteArrayView raw) {
    // Raw 8-bit names that are not UTF-8 are code page 932 (Windows mailers send them so).
    const bool cp932 = readsAsCp932(raw);
    const auto decodeRaw = cp932 ? decodeCp932 : decodeUnlabelledText;
    const QList<QByteArray> pieces = splitParameters(raw, cp932);
    ParameterField field;
    field.value = pieces.value(0).toLower();
    QMap<QByteArray, ExtendedValue> extended;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const qsizetype equals = pieces[i].indexOf('=');
        if (equals <= 0) {
            continue;
        }
        QByteArray name = pieces[i].first(equals).trimmed().toLower();
        const QByteArray value = unquote(pieces[i].sliced(equals + 1), cp932);
        if (!name.contains('*')) {
            field.parameters.insert(name, decodeHeaderText(value, decodeRaw));
            continue;
        }
        const bool encoded = name.endsWith('*');
        if (encoded) {
            name.chop(1);
        }
        int section = 0;
        if (const qsizetype star = name.indexOf('*'); star >= 0) {
            bool number = false;
            section = name.sliced(star + 1).toInt(&number);
            if (!number) {
                continue;
            }
            name.truncate(star);
        }
        ExtendedValue& target = extended[name];
        QByteArray bytes = value;
        if (encoded) {
            if (section == 0) {
                // charset'language'percent-encoded text
                const qsizetype first = bytes.indexOf('\'');
                const qsizetype second = first < 0 ? -1 : bytes.indexOf('\'', first + 1);
                if (second >= 0) {
                    target.charset = bytes.first(first);
                    bytes = bytes.sliced(second + 1);
                }
            }
            bytes = percentDecode(bytes);
        }
        target.sections.insert(section, bytes);
    }
    for (auto it = extended.cbegin(); it != extended.cend(); ++it) {
        QByteArray bytes;
        for (const QByteArray& section : it->sections) {
            bytes += section;
        }
        field.parameters.insert(it.key(), it->charset.isEmpty()
                                              ? decodeHeaderText(bytes, decodeRaw)
                                              : decodeMailText(bytes, it->charset));
    }
    return field;
}
