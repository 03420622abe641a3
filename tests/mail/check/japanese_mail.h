#pragma once

#include <QByteArray>
#include <QString>

// Test data: Japanese text in the encodings a real mailbox holds.

// ISO-2022-JP as Windows mailers write it: JIS X 0208 (with the NEC row 13 characters ①
// and ㈱) and half-width katakana through ESC ( I.
QByteArray toIso2022Jp(const QString& text);

// An RFC 2047 encoded word of `text` in ISO-2022-JP, base64.
QByteArray encodedWordIso2022Jp(const QString& text);
