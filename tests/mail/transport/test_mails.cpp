#include "test_mails.h"

#include <QtGlobal>

#include "cp932.h"

QByteArray japaneseIn(const char* charset) {
    const QByteArray name(charset);
    if (name == "ISO-2022-JP") {
        return QByteArray::fromHex("1b24422d212d6a7c621b2849313233") +
               QByteArray::fromHex("1b244234413b7a1b2842");
    }
    if (name == "EUC-JP") {
        return QByteArray::fromHex("ada1adeafce28eb18eb28eb3b4c1bbfa");
    }
    if (name == "UTF-8") {
        return kJapanese.toUtf8();
    }
    return encodeCp932(kJapanese);
}

QByteArray quotedPrintable(const QByteArray& bytes) {
    QByteArray out;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 || byte == '=' || byte < 0x20) {
            out += '=' + QByteArray::number(byte, 16).toUpper().rightJustified(2, '0');
        } else {
            out += c;
        }
    }
    return out;
}

QByteArray mailText(const QByteArray& headerLines, const QByteArray& body) {
    QByteArray header = headerLines;
    header.replace("\n", "\r\n");
    return header + "\r\n\r\n" + body;
}
