#include "record_layout.h"

#include "cp932.h"

QString readField(const QByteArray& record, RecordField field) {
    return decodeCp932(QByteArrayView(record).sliced(field.offset, field.width));
}

void writeField(QByteArray& record, RecordField field, QStringView text) {
    const QByteArray bytes = fitCp932Field(text, field.width);
    record.replace(field.offset, field.width, bytes);
}

void writeLineEnd(QByteArray& record, int offset) {
    record.replace(offset, 2, "\r\n", 2);
}
