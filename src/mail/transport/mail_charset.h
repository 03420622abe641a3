#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

// Text of received mail in the charset its label names. Japanese charsets go through the
// code page 932 tables, so that NEC and IBM extensions (①, ㈱, 髙) and half-width katakana
// survive; an empty or unknown label is guessed from the bytes. Undecodable bytes become
// U+FFFD rather than vanishing.
QString decodeMailText(QByteArrayView bytes, QByteArrayView charset);

// Bytes without a trustworthy label (raw 8-bit headers): ISO-2022-JP when escapes appear,
// UTF-8 when valid, else code page 932.
QString decodeUnlabelledText(QByteArrayView bytes);
// True when decodeUnlabelledText reads the bytes as code page 932.
bool readsAsCp932(QByteArrayView bytes);

// True for the labels of ISO-2022-JP and its Windows variants, whose decoding depends on
// the escape sequences seen before.
bool isIso2022JpCharset(QByteArrayView charset);

// The text as ISO-2022-JP, every line ending in ASCII (ESC ( B), or nothing when it does
// not come back unchanged from it.
std::optional<QByteArray> encodeIso2022Jp(QStringView text);

// The charset label for a text file of unknown charset, read as decodeUnlabelledText reads
// it (code page 932 goes as "Shift_JIS", the name Japanese readers know); empty for ASCII.
QByteArray unlabelledTextCharset(QByteArrayView bytes);
