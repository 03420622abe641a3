#include "transport/mail_charset.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <iconv.h>

#include "cp932.h"

namespace {

bool isAscii(QByteArrayView bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

QByteArray normalisedLabel(QByteArrayView charset) {
    QByteArray label = charset.trimmed().toByteArray().toLower();
    label.replace('_', '-');
    return label;
}

bool isShiftJisLabel(const QByteArray& label) {
    static constexpr const char* kLabels[] = {
        "shift-jis", "sjis",       "x-sjis", "windows-31j",  "cp932",
        "ms-kanji",  "csshiftjis", "ms932",  "csWindows31J", "x-ms-cp932"};
    for (const char* known : kLabels) {
        if (label == QByteArray(known).toLower()) {
            return true;
        }
    }
    return false;
}

bool isIso2022JpLabel(const QByteArray& label) {
    return label == "iso-2022-jp" || label == "csiso2022jp" || label == "iso-2022-jp-1" ||
           label == "iso-2022-jp-3" || label == "iso-2022-jp-ms" || label == "cp50220" ||
           label == "cp50221" || label == "cp50222";
}

bool isEucJpLabel(const QByteArray& label) {
    return label == "euc-jp" || label == "eucjp" || label == "x-euc-jp" || label == "euc-jp-ms" ||
           label == "eucjp-ms" || label == "cp51932" || label == "cseucpkdfmtjapanese";
}

bool isUtf8Label(const QByteArray& label) {
    return label == "utf-8" || label == "utf8";
}

bool isAsciiLabel(const QByteArray& label) {
    return label.isEmpty() || label == "us-ascii" || label == "ascii" || label == "unknown-8bit" ||
           label == "x-unknown" || label == "unknown";
}

QString decodeWithQt(const char* name, QByteArrayView bytes) {
    QStringDecoder decoder(name);
    return decoder.decode(bytes);
}

// ICU's ISO-2022-JP decoder follows the Windows mapping (0x2D21 is ①, 0x7C62 is 髙 and
// 0x2141 is ～), which glibc's ISO-2022-JP family rejects.
QString decodeIso2022Jp(QByteArrayView bytes) {
    return decodeWithQt("ISO-2022-JP", bytes);
}

// One JIS X 0212 or eucJP-ms extension character (0x8F and two bytes) through glibc, the
// only decoder here that knows the IBM extensions in that plane.
QString decodeEucJpSupplementary(QByteArrayView triple) {
    iconv_t cd = iconv_open("UTF-8", "EUC-JP-MS");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return QString(QChar::ReplacementCharacter);
    }
    char out[8];
    auto* in = const_cast<char*>(triple.data());
    size_t inLeft = static_cast<size_t>(triple.size());
    char* outPtr = out;
    size_t outLeft = sizeof out;
    const size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1)) {
        return QString(QChar::ReplacementCharacter);
    }
    return QString::fromUtf8(out, outPtr - out);
}

// Qt's EUC-JP decoder reads the Windows (CP51932) forms, ① at 0xADA1 and 髙 at 0xFCE2, that
// glibc's EUC-JP-MS turns into private-use characters; glibc takes the 0x8F plane that Qt
// rejects.
QString decodeEucJp(QByteArrayView bytes) {
    QString text;
    qsizetype runStart = 0;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == 0x8F && i + 2 < bytes.size()) {
            text += decodeWithQt("EUC-JP", bytes.sliced(runStart, i - runStart));
            text += decodeEucJpSupplementary(bytes.sliced(i, 3));
            i += 3;
            runStart = i;
        } else if ((byte == 0x8E || byte >= 0xA1) && i + 1 < bytes.size()) {
            i += 2;
        } else {
            ++i;
        }
    }
    text += decodeWithQt("EUC-JP", bytes.sliced(runStart));
    return text;
}

bool hasIso2022Escape(QByteArrayView bytes) {
    return bytes.contains("\x1b$") || bytes.contains("\x1b(");
}

bool isValidUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

}  // namespace

QByteArray unlabelledTextCharset(QByteArrayView bytes) {
    if (hasIso2022Escape(bytes)) {
        return "ISO-2022-JP";
    }
    if (isAscii(bytes)) {
        return {};
    }
    return isValidUtf8(bytes) ? "UTF-8" : "Shift_JIS";
}

QString decodeUnlabelledText(QByteArrayView bytes) {
    const QByteArray charset = unlabelledTextCharset(bytes);
    if (charset.isEmpty()) {
        return QString::fromLatin1(bytes);
    }
    if (charset == "ISO-2022-JP") {
        return decodeIso2022Jp(bytes);
    }
    return charset == "UTF-8" ? QString::fromUtf8(bytes) : decodeCp932(bytes);
}

bool readsAsCp932(QByteArrayView bytes) {
    return unlabelledTextCharset(bytes) == "Shift_JIS";
}

QString decodeMailText(QByteArrayView bytes, QByteArrayView charset) {
    const QByteArray label = normalisedLabel(charset);
    if (isShiftJisLabel(label)) {
        return decodeCp932(bytes);
    }
    if (isIso2022JpLabel(label)) {
        return decodeIso2022Jp(bytes);
    }
    if (isEucJpLabel(label)) {
        return decodeEucJp(bytes);
    }
    if (isUtf8Label(label)) {
        return QString::fromUtf8(bytes);
    }
    if (isAsciiLabel(label)) {
        return decodeUnlabelledText(bytes);
    }
    QStringDecoder decoder(label.constData());
    if (!decoder.isValid()) {
        return decodeUnlabelledText(bytes);
    }
    return decoder.decode(bytes);
}

bool isIso2022JpCharset(QByteArrayView charset) {
    return isIso2022JpLabel(normalisedLabel(charset));
}

std::optional<QByteArray> encodeIso2022Jp(QStringView text) {
    QByteArray bytes;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        end = end < 0 ? text.size() : end;
        // A fresh encoder per line starts each line in ASCII; the line is closed back to
        // ASCII before its line end (and at the end of the text), as readers expect.
        QStringEncoder encoder("ISO-2022-JP");
        QByteArray line = encoder.encode(text.sliced(start, end - start));
        if (encoder.hasError()) {
            return std::nullopt;
        }
        const qsizetype escape = line.lastIndexOf('\x1b');
        if (escape >= 0 && !line.sliced(escape).startsWith("\x1b(B")) {
            line += "\x1b(B";
        }
        bytes += line;
        if (end < text.size()) {
            bytes += '\n';
        }
        start = end + 1;
    }
    if (decodeIso2022Jp(bytes) != text) {
        return std::nullopt;
    }
    return bytes;
}
