#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Code page 932 (Windows Shift-JIS, with the NEC and IBM extensions), the encoding of
// every record field and settings file. glibc's "CP932" table is the exact Windows one.

// Characters the code page lacks become "?" (one per character, surrogate pairs included).
QByteArray encodeCp932(QStringView text);

// Bytes that are not valid code page 932 become U+FFFD.
QString decodeCp932(QByteArrayView bytes);

// True for the first byte of a double-byte character.
inline bool isCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Exactly `width` bytes: the encoded text cut at `width` bytes but never inside a
// double-byte character (a freed byte becomes a space), then padded with spaces.
QByteArray fitCp932Field(QStringView text, int width);
