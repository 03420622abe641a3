#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Where a text field lies inside a fixed-length record.
struct RecordField {
    int offset;
    int width;
};

// The field's text as stored, padding included (readers trim it or cut it at a NUL).
QString readField(const QByteArray& record, RecordField field);

// Stores `text` in code page 932, cut to the field at a character boundary and padded
// with spaces.
void writeField(QByteArray& record, RecordField field, QStringView text);

// The CR LF that every record carries before its live flag.
void writeLineEnd(QByteArray& record, int offset);
