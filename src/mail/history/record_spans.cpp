#include "history/record_spans.h"

#include <QFile>
#include <QList>

#include <algorithm>
#include <cstring>

#include "history/piece_reader.h"

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

// Records read in one go: their pieces fill one ring batch (a record takes one piece when
// its last run ends where the next record's first begins).
constexpr qint64 kRecordsPerBatch = 255;

// The pieces of records first … first + count - 1, each record's runs one after
// another in its slot of `packed`. A run that ends a record and one that begins the next
// lie together both in the file and in `packed`, and are read as one piece.
QList<PieceRead> batchPieces(const QList<RecordField>& runs, qint64 length, qint64 first,
                             qint64 count, qint64 slotWidth, char* packed) {
    QList<PieceRead> pieces;
    pieces.reserve(count * runs.size());
    for (qint64 r = 0; r < count; ++r) {
        char* into = packed + r * slotWidth;
        for (const RecordField& run : runs) {
            const qint64 at = (first + r - 1) * length + run.offset;
            if (!pieces.isEmpty() && pieces.back().at + pieces.back().width == at &&
                pieces.back().into + pieces.back().width == into) {
                pieces.back().width += run.width;
            } else {
                pieces.append(PieceRead{at, run.width, into});
            }
            into += run.width;
        }
    }
    return pieces;
}

}  // namespace

qint16 readRecordSpans(
    const RecordFile& file, std::initializer_list<RecordField> spans,
    const std::function<void(qint16 recordNo, const QByteArray& record)>& visit) {
    QFile data(file.path());
    if (!data.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        return 0;
    }
    const qint64 length = file.recordLength();
    const qint64 complete = qMin<qint64>(data.size() / length, RecordFile::kMaxRecords);
    const QList<RecordField> runs = joinedRuns(spans);
    if (runs.isEmpty()) {
        return 0;
    }
    qint64 slotWidth = 0;
    for (const RecordField& run : runs) {
        slotWidth += run.width;
    }
    PieceReader reader(data.handle());
    QByteArray packed(qMin(complete, kRecordsPerBatch) * slotWidth, Qt::Uninitialized);
    QByteArray record(length, ' ');
    qint16 last = 0;
    for (qint64 first = 1; first <= complete; first += kRecordsPerBatch) {
        const qint64 count = qMin(kRecordsPerBatch, complete - first + 1);
        const QList<PieceRead> pieces =
            batchPieces(runs, length, first, count, slotWidth, packed.data());
        const qsizetype read = reader.read(pieces);
        // A short piece (the file shrank) leaves its record and the ones after it unread.
        const qint64 whole =
            read == pieces.size() ? count : (pieces[read].into - packed.constData()) / slotWidth;
        for (qint64 r = 0; r < whole; ++r) {
            const char* from = packed.constData() + r * slotWidth;
            for (const RecordField& run : runs) {
                std::memcpy(record.data() + run.offset, from, static_cast<size_t>(run.width));
                from += run.width;
            }
            last = static_cast<qint16>(first + r);
            visit(last, record);
        }
        if (whole < count) {
            break;
        }
    }
    return last;
}
