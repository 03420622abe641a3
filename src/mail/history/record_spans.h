#pragma once

#include <QByteArray>

#include <functional>
#include <initializer_list>

#include "record_file.h"
#include "record_layout.h"

// Visits every complete record of `file` in order, as ReadAll does, but reads only the
// bytes of `spans`: `visit` gets a record image of the full length in which only those
// bytes are filled (spans that touch are read together, and so are a span that ends one
// record and one that begins the next). A list that shows a few short
// fields of large records reads a small part of the file this way. Returns the number of
// the last record visited, 0 for none.
qint16 readRecordSpans(const RecordFile& file, std::initializer_list<RecordField> spans,
                       const std::function<void(qint16 recordNo, const QByteArray& record)>& visit);
