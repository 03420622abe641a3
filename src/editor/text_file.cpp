#include "text_file.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>

#include "cp932.h"
#include "durable_file.h"
#include "link_target.h"

namespace {

bool startsWith(const QByteArray& bytes, std::initializer_list<unsigned char> mark) {
    if (bytes.size() < qsizetype(mark.size())) {
        return false;
    }
    qsizetype i = 0;
    for (unsigned char byte : mark) {
        if (static_cast<unsigned char>(bytes[i++]) != byte) {
            return false;
        }
    }
    return true;
}

bool isAscii(const QByteArray& bytes) {
    for (char byte : bytes) {
        if (static_cast<unsigned char>(byte) >= 0x80) {
            return false;
        }
    }
    return true;
}

// Decodes strictly: nullopt when a byte sequence is invalid in `encoding`.
std::optional<QString> decodedStrictly(QStringConverter::Encoding encoding, QByteArrayView bytes) {
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        return std::nullopt;
    }
    return text;
}

TextFileContent decodedText(const QByteArray& bytes) {
    const auto withMark = [&](TextEncoding encoding, QStringConverter::Encoding qt, int mark) {
        // The decoder lets a lone last byte of UTF-16 pass without an error.
        const bool whole = qt == QStringConverter::Utf8 || (bytes.size() - mark) % 2 == 0;
        const std::optional<QString> text = decodedStrictly(qt, QByteArrayView(bytes).sliced(mark));
        return text && whole
                   ? TextFileContent{*text, encoding, false}
                   : TextFileContent{QStringDecoder(qt).decode(QByteArrayView(bytes).sliced(mark)),
                                     encoding, true};
    };
    if (startsWith(bytes, {0xEF, 0xBB, 0xBF})) {
        return withMark(TextEncoding::Utf8WithBom, QStringConverter::Utf8, 3);
    }
    if (startsWith(bytes, {0xFF, 0xFE})) {
        return withMark(TextEncoding::Utf16LeWithBom, QStringConverter::Utf16LE, 2);
    }
    if (startsWith(bytes, {0xFE, 0xFF})) {
        return withMark(TextEncoding::Utf16BeWithBom, QStringConverter::Utf16BE, 2);
    }
    // Japanese in UTF-8 often reads as valid code page 932 too, but code page 932 text is
    // almost never valid UTF-8: UTF-8 is tried first.
    if (!isAscii(bytes)) {
        if (const std::optional<QString> text = decodedStrictly(QStringConverter::Utf8, bytes)) {
            return TextFileContent{*text, TextEncoding::Utf8, false};
        }
    }
    QString text = decodeCp932(bytes);
    const bool damaged = text.contains(QChar::ReplacementCharacter);
    return TextFileContent{std::move(text), TextEncoding::Cp932, damaged};
}

}  // namespace

std::optional<TextFileContent> readTextFile(const QString& path, QString* error) {
    if (QFileInfo(path).isDir()) {
        *error = QStringLiteral("フォルダは開けません。");
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return std::nullopt;
    }
    TextFileContent content = decodedText(bytes);
    content.lineEnd = lineEndOf(content.text);
    return content;
}

QByteArray encodeText(const QString& text, TextEncoding encoding, bool* lossless) {
    if (encoding == TextEncoding::Cp932) {
        const QByteArray bytes = encodeCp932(text);
        *lossless = decodeCp932(bytes) == text;
        return bytes;
    }
    const bool utf16 =
        encoding == TextEncoding::Utf16LeWithBom || encoding == TextEncoding::Utf16BeWithBom;
    QStringEncoder encoder(
        utf16 ? (encoding == TextEncoding::Utf16LeWithBom ? QStringConverter::Utf16LE
                                                          : QStringConverter::Utf16BE)
              : QStringConverter::Utf8,
        encoding == TextEncoding::Utf8 ? QStringConverter::Flag::Stateless
                                       : QStringConverter::Flag::WriteBom);
    const QByteArray bytes = encoder.encode(text);
    *lossless = !encoder.hasError();
    return bytes;
}

bool writeTextFile(const QString& path, const QByteArray& bytes, TextWriteFailure* failure) {
    DurableFile file(linkTarget(path));
    if (file.open() && file.write(bytes) && file.commit()) {
        return true;
    }
    switch (file.errorNumber()) {
        case ENOSPC:
        case EDQUOT:
            failure->problem = WriteProblem::DiskFull;
            break;
        case EACCES:
        case EPERM:
        case EROFS:
            failure->problem = WriteProblem::NotPermitted;
            break;
        default:
            failure->problem = WriteProblem::Other;
    }
    failure->reason = file.errorString();
    return false;
}

QString encodingName(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Cp932:
            return QStringLiteral("Shift-JIS");
        case TextEncoding::Utf8:
            return QStringLiteral("UTF-8");
        case TextEncoding::Utf8WithBom:
            return QStringLiteral("UTF-8 (BOM付き)");
        case TextEncoding::Utf16LeWithBom:
            return QStringLiteral("UTF-16 LE (BOM付き)");
        case TextEncoding::Utf16BeWithBom:
            return QStringLiteral("UTF-16 BE (BOM付き)");
    }
    return {};
}
