#include "history/piece_reader.h"

#include <QVarLengthArray>

#include <liburing.h>

#include <algorithm>
#include <cerrno>

#include "durable_file.h"

namespace {

// Pieces in one trip into the kernel.
constexpr unsigned kRingEntries = 256;

// Reads what a piece still lacks after `done` of its bytes with plain preads.
bool finishWithPread(int fd, const PieceRead& piece, qint64 done) {
    return readAllAt(fd, piece.into + done, piece.width - done, piece.at + done);
}

}  // namespace

PieceReader::PieceReader(int fd) : fd_(fd), ring_(std::make_unique<io_uring>()) {
    if (io_uring_queue_init(kRingEntries, ring_.get(), 0) != 0) {
        ring_.reset();
    }
}

PieceReader::~PieceReader() {
    dropRing();
}

void PieceReader::dropRing() {
    if (ring_) {
        io_uring_queue_exit(ring_.get());
        ring_.reset();
    }
}

qsizetype PieceReader::read(const QList<PieceRead>& pieces) {
    qsizetype done = 0;
    while (done < pieces.size()) {
        if (!ring_) {
            if (!finishWithPread(fd_, pieces[done], 0)) {
                return done;
            }
            ++done;
            continue;
        }
        const Batch batch = readThroughRing(pieces, done);
        done += batch.whole;
        if (batch.ended) {
            return done;
        }
    }
    return done;
}

PieceReader::Batch PieceReader::readThroughRing(const QList<PieceRead>& pieces, qsizetype from) {
    const qsizetype count = std::min<qsizetype>(kRingEntries, pieces.size() - from);
    for (qsizetype i = 0; i < count; ++i) {
        const PieceRead& piece = pieces[from + i];
        io_uring_sqe* entry = io_uring_get_sqe(ring_.get());
        io_uring_prep_read(entry, fd_, piece.into, static_cast<unsigned>(piece.width),
                           static_cast<__u64>(piece.at));
        io_uring_sqe_set_data64(entry, static_cast<__u64>(i));
    }
    int submitted = 0;
    do {
        submitted = io_uring_submit(ring_.get());
    } while (submitted == -EINTR);
    // What each piece got: its byte count, a negative errno, or -1 when it never went out.
    QVarLengthArray<qint64, kRingEntries> landed(count, -1);
    int reaped = 0;
    while (reaped < submitted) {
        io_uring_cqe* completion = nullptr;
        const int waited = io_uring_wait_cqe(ring_.get(), &completion);
        if (waited == -EINTR) {
            continue;
        }
        if (waited < 0) {
            break;
        }
        landed[static_cast<qsizetype>(io_uring_cqe_get_data64(completion))] = completion->res;
        io_uring_cqe_seen(ring_.get(), completion);
        ++reaped;
    }
    // A ring that cannot take or give back every piece is left for plain preads, which
    // also read the pieces it left out.
    if (reaped < count) {
        dropRing();
    }
    // A ring may hand back a short read that is not the end of the file, and a failed
    // piece may be worth one more try: pread settles both, and also where the file ends.
    for (qsizetype i = 0; i < count; ++i) {
        const PieceRead& piece = pieces[from + i];
        if (landed[i] != piece.width &&
            !finishWithPread(fd_, piece, std::max<qint64>(landed[i], 0))) {
            return {i, true};
        }
    }
    return {count, false};
}
