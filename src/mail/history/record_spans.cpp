#include "record_spans.h"

#include <QFile>
#include <QList>

#include <unistd.h>

#include <algorithm>

qint16 readRecordSpans(
    const RecordFile& file, std::initializer_list<RecordField> spans,
    const std::function<void(qint16 recordNo, const QByteArray& record)>& visit) {
    QFile data(file.path());
    if (!data.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return 0;
    }
    const qint64 length = file.recordLength();
    const qint64 complete = qMin<qint64>(data.size() / length, RecordFile::kMaxRecords);
    // Spans that touch are read in one go: one system call per run of adjacent fields.
    QList<RecordField> runs(spans);
    std::sort(runs.begin(), runs.end(),
              [](const RecordField& a, const RecordField& b) { return a.offset < b.offset; });
    for (qsizetype i = 1; i < runs.size();) {
        if (runs[i - 1].offset + runs[i - 1].width == runs[i].offset) {
            runs[i - 1].width += runs[i].width;
            runs.removeAt(i);
        } else {
            ++i;
        }
    }
    QByteArray record(length, ' ');
    qint16 last = 0;
    for (qint64 n = 1; n <= complete; ++n) {
        for (const RecordField& span : runs) {
            const qint64 at = (n - 1) * length + span.offset;
            if (::pread(data.handle(), record.data() + span.offset, span.width, at) != span.width) {
                return last;
            }
        }
        last = static_cast<qint16>(n);
        visit(last, record);
    }
    return last;
}
