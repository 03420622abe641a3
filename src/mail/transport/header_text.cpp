#include "header_text.h"

#include "mail_charset.h"

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Offset of the blank line's first byte and the offset of the body after it, or -1s.
std::pair<qsizetype, qsizetype> headerEnd(QByteArrayView mail) {
    if (mail.startsWith("\r\n")) {
        return {0, 2};
    }
    if (mail.startsWith("\n")) {
        return {0, 1};
    }
    qsizetype from = 0;
    while (true) {
        const qsizetype lf = mail.indexOf('\n', from);
        if (lf < 0) {
            return {-1, -1};
        }
        qsizetype next = lf + 1;
        if (next < mail.size() && mail[next] == '\r') {
            ++next;
        }
        if (next < mail.size() && mail[next] == '\n') {
            return {lf + 1, next + 1};
        }
        if (next >= mail.size()) {
            return {-1, -1};
        }
        from = lf + 1;
    }
}

QByteArray unfold(QByteArrayView value) {
    QByteArray out;
    out.reserve(value.size());
    for (char c : value) {
        if (c != '\r' && c != '\n') {
            out += c;
        }
    }
    return out.trimmed();
}

QByteArray decodeQuotedWord(QByteArrayView text) {
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '_') {
            out += ' ';
        } else if (c == '=' && i + 2 < text.size()) {
            out += QByteArray::fromHex(text.sliced(i + 1, 2).toByteArray());
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

struct EncodedWord {
    qsizetype begin = -1;
    qsizetype end = -1;
    QByteArray charset;
    QByteArray bytes;
};

// The next well-formed "=?charset?B|Q?text?=" at or after `from`.
EncodedWord nextEncodedWord(QByteArrayView raw, qsizetype from) {
    while (true) {
        const qsizetype begin = raw.indexOf("=?", from);
        if (begin < 0) {
            return {};
        }
        const qsizetype q1 = raw.indexOf('?', begin + 2);
        const qsizetype q2 = q1 < 0 ? -1 : raw.indexOf('?', q1 + 1);
        const qsizetype close = q2 < 0 ? -1 : raw.indexOf("?=", q2 + 1);
        if (close < 0) {
            return {};
        }
        const QByteArrayView encoding = raw.sliced(q1 + 1, q2 - q1 - 1);
        QByteArrayView charset = raw.sliced(begin + 2, q1 - begin - 2);
        const QByteArrayView text = raw.sliced(q2 + 1, close - q2 - 1);
        const bool wellFormed = encoding.size() == 1 && !charset.isEmpty() &&
                                !charset.contains(' ') && !text.contains(' ');
        if (!wellFormed) {
            from = begin + 2;
            continue;
        }
        if (const qsizetype star = charset.indexOf('*'); star >= 0) {
            charset = charset.first(star);  // RFC 2231 language suffix
        }
        EncodedWord word{begin, close + 2, charset.toByteArray().toLower(), {}};
        const char kind = encoding[0];
        if (kind == 'B' || kind == 'b') {
            word.bytes = QByteArray::fromBase64(text.toByteArray());
        } else if (kind == 'Q' || kind == 'q') {
            word.bytes = decodeQuotedWord(text);
        } else {
            from = begin + 2;
            continue;
        }
        return word;
    }
}

bool onlySpace(QByteArrayView text) {
    for (char c : text) {
        if (!isSpace(c)) {
            return false;
        }
    }
    return true;
}

}  // namespace

QByteArray headerBlock(QByteArrayView mail) {
    const qsizetype end = headerEnd(mail).first;
    return (end < 0 ? mail : mail.first(end)).toByteArray();
}

QByteArray bodyAfterHeader(QByteArrayView mail) {
    const qsizetype body = headerEnd(mail).second;
    return body < 0 ? QByteArray() : mail.sliced(body).toByteArray();
}

QByteArray headerField(QByteArrayView header, QByteArrayView name) {
    qsizetype lineStart = 0;
    while (lineStart < header.size()) {
        qsizetype lineEnd = header.indexOf('\n', lineStart);
        if (lineEnd < 0) {
            lineEnd = header.size();
        }
        const QByteArrayView line = header.sliced(lineStart, lineEnd - lineStart);
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && !isSpace(line[0]) &&
            line.first(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0) {
            // The field goes on over the following lines that begin with white space.
            qsizetype fieldEnd = lineEnd;
            while (fieldEnd + 1 < header.size() &&
                   (header[fieldEnd + 1] == ' ' || header[fieldEnd + 1] == '\t')) {
                const qsizetype next = header.indexOf('\n', fieldEnd + 1);
                fieldEnd = next < 0 ? header.size() : next;
            }
            const qsizetype valueStart = lineStart + colon + 1;
            return unfold(header.sliced(valueStart, fieldEnd - valueStart));
        }
        lineStart = lineEnd + 1;
    }
    return {};
}

QString decodeHeaderText(QByteArrayView raw) {
    const QByteArray value = unfold(raw);
    QString text;
    qsizetype pos = 0;
    QByteArray pendingCharset;
    QByteArray pendingBytes;
    const auto flush = [&] {
        if (!pendingBytes.isEmpty()) {
            text += decodeMailText(pendingBytes, pendingCharset);
            pendingBytes.clear();
        }
    };
    while (pos < value.size()) {
        EncodedWord word = nextEncodedWord(value, pos);
        if (word.begin < 0) {
            break;
        }
        const QByteArrayView gap = QByteArrayView(value).sliced(pos, word.begin - pos);
        const bool joinsPrevious = !pendingBytes.isEmpty() && onlySpace(gap);
        if (!joinsPrevious) {
            flush();
            text += decodeUnlabelledText(gap);
        }
        // Consecutive words in one charset are decoded together: senders split a
        // multi-byte character or an ISO-2022-JP escape sequence across words.
        if (joinsPrevious && word.charset != pendingCharset) {
            flush();
        }
        pendingCharset = word.charset;
        pendingBytes += word.bytes;
        pos = word.end;
    }
    flush();
    text += decodeUnlabelledText(QByteArrayView(value).sliced(pos));
    return text;
}

QString decodeSender(QByteArrayView raw) {
    const QByteArray value = unfold(raw);
    QByteArray name;
    QByteArray address;
    const qsizetype open = value.lastIndexOf('<');
    const qsizetype close = value.lastIndexOf('>');
    if (open >= 0 && close > open) {
        address = value.sliced(open + 1, close - open - 1).trimmed();
        name = value.first(open).trimmed();
    } else if (const qsizetype paren = value.indexOf('('); paren >= 0 && value.endsWith(')')) {
        address = value.first(paren).trimmed();
        name = value.sliced(paren + 1, value.size() - paren - 2).trimmed();
    } else {
        address = value;
    }
    if (name.size() >= 2 && name.startsWith('"') && name.endsWith('"')) {
        name = name.sliced(1, name.size() - 2);
        name.replace("\\\"", "\"").replace("\\\\", "\\");
    }
    const QString displayName = decodeHeaderText(name).trimmed();
    const QString addressText = decodeUnlabelledText(address);
    if (displayName.isEmpty()) {
        return addressText;
    }
    return displayName + QStringLiteral(" <") + addressText + u'>';
}
