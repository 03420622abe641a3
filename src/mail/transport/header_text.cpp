#include "transport/header_text.h"

#include "transport/mail_addresses.h"
#include "transport/mail_charset.h"

#include <optional>
#include <utility>

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

// The first '?' or white space at or after `from`, or the end.
qsizetype tokenEnd(QByteArrayView raw, qsizetype from) {
    while (from < raw.size() && raw[from] != '?' && !isSpace(raw[from])) {
        ++from;
    }
    return from;
}

// The next well-formed "=?charset?B|Q?text?=" at or after `from`. Neither the charset nor
// the text may hold '?' or white space, so a candidate is read only up to its third '?'
// and the search goes on right after its "=?": no byte is read more than a few times,
// whatever the header holds.
EncodedWord nextEncodedWord(QByteArrayView raw, qsizetype from) {
    while (true) {
        const qsizetype begin = raw.indexOf("=?", from);
        if (begin < 0) {
            return {};
        }
        from = begin + 2;
        const qsizetype q1 = tokenEnd(raw, begin + 2);
        const qsizetype q2 = q1 + 2;
        if (q1 == begin + 2 || q2 >= raw.size() || raw[q1] != '?' || raw[q2] != '?') {
            continue;
        }
        const qsizetype close = tokenEnd(raw, q2 + 1);
        if (close + 1 >= raw.size() || raw[close] != '?' || raw[close + 1] != '=') {
            continue;
        }
        QByteArrayView charset = raw.sliced(begin + 2, q1 - begin - 2);
        const QByteArrayView text = raw.sliced(q2 + 1, close - q2 - 1);
        if (const qsizetype star = charset.indexOf('*'); star >= 0) {
            charset = charset.first(star);  // RFC 2231 language suffix
        }
        EncodedWord word{begin, close + 2, charset.toByteArray().toLower(), {}};
        const char kind = raw[q1 + 1];
        if (kind == 'B' || kind == 'b') {
            word.bytes = QByteArray::fromBase64(text.toByteArray());
        } else if (kind == 'Q' || kind == 'q') {
            word.bytes = decodeQuotedWord(text);
        } else {
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

constexpr char kEsc = '\x1b';

// Where the whole characters of ISO-2022-JP bytes end, and the escape sequence in force
// there (empty for the initial ASCII).
struct JisEnd {
    qsizetype complete = 0;
    QByteArray mode;
    bool cutInsideCharacter = false;  // else, when bytes are left, inside an escape
};

qsizetype escapeLength(QByteArrayView bytes, qsizetype at) {
    if (at + 1 >= bytes.size()) {
        return -1;
    }
    const char kind = bytes[at + 1];
    if (kind == '(' || kind == ')') {
        return 3;
    }
    if (kind != '$') {
        return 2;
    }
    if (at + 2 >= bytes.size()) {
        return -1;
    }
    return bytes[at + 2] == '(' || bytes[at + 2] == ')' ? 4 : 3;
}

JisEnd scanJis(QByteArrayView bytes) {
    JisEnd end;
    bool doubleByte = false;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == kEsc) {
            const qsizetype length = escapeLength(bytes, i);
            if (length < 0 || i + length > bytes.size()) {
                break;
            }
            if (bytes[i + 1] == '(' || bytes[i + 1] == '$') {
                end.mode = bytes.sliced(i, length).toByteArray();
                doubleByte = bytes[i + 1] == '$';
            }
            i += length;
        } else if (doubleByte && byte >= 0x21 && byte <= 0x7E) {
            if (i + 1 >= bytes.size()) {
                end.cutInsideCharacter = true;
                break;
            }
            i += 2;
        } else {
            ++i;
        }
    }
    end.complete = i;
    return end;
}

// ASCII and JIS-Roman need not be carried into the next word.
bool carriesOver(const QByteArray& mode) {
    return !mode.isEmpty() && mode != "\x1b(B" && mode != "\x1b(J";
}

// Adjacent encoded words in one charset. Multi-byte charsets without state are decoded
// as one byte string, since senders cut characters across words. ISO-2022-JP words each
// return to ASCII, and the decoder rejects that "ESC ( B" followed at once by the next
// word's "ESC $ B"; so each word is decoded on its own. Only a character or escape cut at
// a word's end is carried into the next word, and so is the character set left in force
// when the next word does not begin with its own escape.
class EncodedRun {
  public:
    explicit EncodedRun(QByteArray charset)
        : charset_(std::move(charset)), stateful_(isIso2022JpCharset(charset_)) {}

    const QByteArray& charset() const { return charset_; }

    void add(const QByteArray& bytes) {
        if (!stateful_) {
            pending_ += bytes;
            return;
        }
        QByteArray word;
        if (!pending_.isEmpty()) {
            word = (cutInsideCharacter_ ? mode_ : QByteArray()) + pending_ + bytes;
        } else if (!bytes.startsWith(kEsc) && carriesOver(mode_)) {
            word = mode_ + bytes;
        } else {
            word = bytes;
        }
        const JisEnd end = scanJis(word);
        text_ += decodeMailText(QByteArrayView(word).first(end.complete), charset_);
        pending_ = word.sliced(end.complete);
        if (!end.mode.isEmpty()) {
            mode_ = end.mode;
        }
        cutInsideCharacter_ = end.cutInsideCharacter;
    }

    QString take() {
        if (!stateful_) {
            return decodeMailText(pending_, charset_);
        }
        // Bytes of a character the words never finished are marked, not dropped.
        return pending_.isEmpty() ? text_ : text_ + QChar(QChar::ReplacementCharacter);
    }

  private:
    QByteArray charset_;
    bool stateful_;
    QString text_;
    QByteArray pending_;
    QByteArray mode_;
    bool cutInsideCharacter_ = false;
};

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
    return decodeHeaderText(raw, decodeUnlabelledText);
}

QString decodeHeaderText(QByteArrayView raw, QString (*decodeRaw)(QByteArrayView)) {
    const QByteArray value = unfold(raw);
    QString text;
    qsizetype pos = 0;
    std::optional<EncodedRun> run;
    while (pos < value.size()) {
        const EncodedWord word = nextEncodedWord(value, pos);
        if (word.begin < 0) {
            break;
        }
        const QByteArrayView gap = QByteArrayView(value).sliced(pos, word.begin - pos);
        // White space between two encoded words is not part of the text.
        const bool joinsPrevious = run && onlySpace(gap) && run->charset() == word.charset;
        if (!joinsPrevious) {
            if (run) {
                text += run->take();
            }
            if (!run || !onlySpace(gap)) {
                text += decodeRaw(gap);
            }
            run.emplace(word.charset);
        }
        run->add(word.bytes);
        pos = word.end;
    }
    if (run) {
        text += run->take();
    }
    text += decodeRaw(QByteArrayView(value).sliced(pos));
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
    return mailboxText(displayName, addressText);
}
