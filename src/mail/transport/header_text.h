#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Header fields of received mail, read from the raw bytes.

// The raw value of the first field called `name` (case-insensitive) in a header block,
// unfolded; empty when absent.
QByteArray headerField(QByteArrayView header, QByteArrayView name);

// An unstructured value (Subject, a display name) as text: RFC 2047 encoded words decoded
// in their charsets, raw 8-bit bytes as decodeUnlabelledText reads them.
QString decodeHeaderText(QByteArrayView raw);
// The same with the bytes outside encoded words read by `decodeRaw`, for values whose raw
// charset is already known.
QString decodeHeaderText(QByteArrayView raw, QString (*decodeRaw)(QByteArrayView));

// A From value as "display name <address>" (the name quoted where a list needs it), or the
// bare address when it has no name.
QString decodeSender(QByteArrayView raw);

// The bytes before the blank line that ends the header, with the last line's CR LF.
QByteArray headerBlock(QByteArrayView mail);
// The bytes after that blank line (empty when there is none).
QByteArray bodyAfterHeader(QByteArrayView mail);
