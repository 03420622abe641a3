#include "transport/outgoing_words.h"

#include "transport/mail_charset.h"

namespace {

// The longest encoded word: "Subject: " and the word stay within a 76-character line.
constexpr qsizetype kWordLength = 66;
// Percent-encoded characters in one RFC 2231 piece.
constexpr qsizetype kPieceLength = 60;
// A plain header value longer than this is encoded, so that no line passes 998 bytes.
constexpr qsizetype kPlainLength = 900;
constexpr qsizetype kLineLength = 76;

// The length of the character that starts at `at` (a surrogate pair is one character).
qsizetype characterLength(const QString& text, qsizetype at) {
    return text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate() ? 2
                                                                                               : 1;
}

QByteArray wordBytes(const QString& piece, bool iso2022) {
    return iso2022 ? encodeIso2022Jp(piece).value_or(QByteArray()) : piece.toUtf8();
}

bool isAttributeChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           QByteArrayView("!#$&+-.^_`|~").contains(c);
}

}  // namespace

bool isPlainHeaderText(const QString& text) {
    if (text.size() > kPlainLength || text.contains(QStringLiteral("=?"))) {
        return false;
    }
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e) {
            return false;
        }
    }
    return true;
}

QByteArrayList encodedWords(const QString& text) {
    const bool iso2022 = encodeIso2022Jp(text).has_value();
    const QByteArray prefix = iso2022 ? "=?ISO-2022-JP?B?" : "=?UTF-8?B?";
    const qsizetype maxBytes = (kWordLength - prefix.size() - 2) / 4 * 3;
    QByteArrayList words;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start + characterLength(text, start);
        // Grows the piece a character at a time while its encoded form still fits.
        while (end < text.size()) {
            const qsizetype next = end + characterLength(text, end);
            if (wordBytes(text.sliced(start, next - start), iso2022).size() > maxBytes) {
                break;
            }
            end = next;
        }
        words.append(prefix + wordBytes(text.sliced(start, end - start), iso2022).toBase64() +
                     "?=");
        start = end;
    }
    return words;
}

QByteArrayList rfc2231Pieces(const QString& text) {
    QByteArrayList pieces{"UTF-8''"};
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype length = characterLength(text, at);
        QByteArray encoded;
        for (char byte : text.sliced(at, length).toUtf8()) {
            encoded += isAttributeChar(byte) ? QByteArray(1, byte)
                                             : '%' + QByteArray(1, byte).toHex().toUpper();
        }
        if (pieces.last().size() + encoded.size() > kPieceLength) {
            pieces.append(QByteArray());
        }
        pieces.last() += encoded;
        at += length;
    }
    return pieces;
}

QByteArray quotedString(const QString& text) {
    QByteArray quoted = text.toUtf8();
    quoted.replace('\\', "\\\\").replace('"', "\\\"");
    return '"' + quoted + '"';
}

QByteArray foldedValue(const QByteArrayList& tokens, qsizetype used) {
    QByteArray raw;
    qsizetype line = used;
    for (const QByteArray& token : tokens) {
        if (line + 1 + token.size() > kLineLength && !raw.isEmpty()) {
            raw += '\n';
            line = 0;
        }
        raw += ' ' + token;
        line += 1 + token.size();
    }
    return raw + '\n';
}
