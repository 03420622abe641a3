#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

// Header text of outgoing mail, in forms every reader takes.

// True when the text can stand in a header as it is: printable ASCII, nothing a reader
// would take for an encoded word ("=?"), short enough for a header line.
bool isPlainHeaderText(const QString& text);

// RFC 2047 encoded words for the text: ISO-2022-JP when that holds the whole text, else
// UTF-8. Each word decodes on its own (an ISO-2022-JP word ends in ASCII), no character is
// split between two words, and a word fits a header line after its field name.
QByteArrayList encodedWords(const QString& text);

// The text as an RFC 2231 value in UTF-8, percent-encoded and cut into continuation pieces
// between characters; the first piece starts with the charset ("UTF-8''").
QByteArrayList rfc2231Pieces(const QString& text);

// The text as a quoted string, backslash before '"' and '\'.
QByteArray quotedString(const QString& text);

// Tokens joined by spaces into a raw header value (leading space, ending in a newline),
// folded before a token that would take a line past 76 characters. `used` is the length
// of the field name and colon.
QByteArray foldedValue(const QByteArrayList& tokens, qsizetype used);
