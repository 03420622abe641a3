#pragma once

#include <QByteArray>
#include <QString>

#include "cp932.h"
#include "record_layout.h"

// The text a list cell shows for a record field: the field cut at its first NUL, without
// the space padding at its end. Only that part of the field is decoded, with `decoder`.
QString listCellText(Cp932Decoder& decoder, const QByteArray& record, RecordField field);
