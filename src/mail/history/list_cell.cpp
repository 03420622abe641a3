#include "list_cell.h"

QString listCellText(Cp932Decoder& decoder, const QByteArray& record, RecordField field) {
    // Neither NUL nor a space can be the second byte of a double-byte character, so the
    // bytes can be cut before decoding.
    QByteArrayView bytes = QByteArrayView(record).sliced(field.offset, field.width);
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0) {
        bytes.truncate(nul);
    }
    while (!bytes.isEmpty() && bytes.back() == ' ') {
        bytes.chop(1);
    }
    return decoder.decode(bytes);
}
