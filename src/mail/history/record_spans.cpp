#include "history/record_spans.h"

#include <QFile>
#include <QList>

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// The spans sorted and joined where they touch: one read per run of adjacent fields.
QList<RecordField> joinedRuns(std::initializer_list<RecordField> spans) {
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
    return runs;
}

bool readFully(int fd, char* into, qint64 width, qint64 at) {
    return ::pread(fd, into, static_cast<size_t>(width), at) == width;
}

}  // namespace

qint16 readRecordSpans(
    const RecordFile& file, std::initializer_list<RecordField> spans,
    const std::function<void(qint16 recordNo, const QByteArray& record)>& visit) {
    QFile data(file.path());
    if (!data.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return 0;
    }
    const int fd = data.handle();
    const qint64 length = file.recordLength();
    const qint64 complete = qMin<qint64>(data.size() / length, RecordFile::kMaxRecords);
    const QList<RecordField> runs = joinedRuns(spans);
    if (runs.isEmpty()) {
        return 0;
    }
    // A run that ends the record (the live flag) lies right before the run that begins the
    // next one: both come in one call and are then parted into their record images. The
    // system call, not the copy, is what a list of thousands of records spends its time on.
    const RecordField head = runs.front();
    const RecordField tail = runs.back();
    const bool wraps = runs.size() > 1 && head.offset == 0 && tail.offset + tail.width == length;
    QByteArray record(length, ' ');
    QByteArray next(length, ' ');
    QByteArray across(wraps ? tail.width + head.width : 0, Qt::Uninitialized);
    if (wraps && complete > 0 && !readFully(fd, record.data(), head.width, 0)) {
        return 0;
    }
    qint16 last = 0;
    for (qint64 n = 1; n <= complete; ++n) {
        const qint64 start = (n - 1) * length;
        for (qsizetype i = wraps ? 1 : 0; i < runs.size(); ++i) {
            const RecordField& run = runs[i];
            char* into = record.data() + run.offset;
            if (wraps && i == runs.size() - 1 && n < complete) {
                if (!readFully(fd, across.data(), across.size(), start + run.offset)) {
                    return last;
                }
                std::memcpy(into, across.constData(), static_cast<size_t>(run.width));
                std::memcpy(next.data(), across.constData() + run.width,
                            static_cast<size_t>(head.width));
            } else if (!readFully(fd, into, run.width, start + run.offset)) {
                return last;
            }
        }
        last = static_cast<qint16>(n);
        visit(last, record);
        std::swap(record, next);
    }
    return last;
}
