#pragma once

#include <QList>
#include <QtGlobal>

#include <memory>

struct io_uring;

// A piece of a file to read: `width` bytes from `at`, into memory at `into`.
struct PieceRead {
    qint64 at;
    qint64 width;
    char* into;
};

// Reads many small pieces of one open file with few entries into the kernel: they go
// through an io_uring in batches where the system allows one (a container's seccomp
// profile may not), else one pread each. A list of thousands of records spends its time on
// the entries, not on the bytes, wherever an entry is dear.
class PieceReader {
  public:
    enum class Via { Ring, Pread };

    explicit PieceReader(int fd);
    ~PieceReader();
    PieceReader(const PieceReader&) = delete;
    PieceReader& operator=(const PieceReader&) = delete;

    Via via() const { return ring_ ? Via::Ring : Via::Pread; }

    // Reads the pieces; returns how many of them, from the first, came whole. A piece that
    // comes short (the file ended or shrank) ends the count; whatever is in flight has
    // landed when it returns.
    qsizetype read(const QList<PieceRead>& pieces);

  private:
    // What one batch through the ring came to: how many pieces from its first came whole,
    // and whether a short one ended the reading.
    struct Batch {
        qsizetype whole;
        bool ended;
    };
    Batch readThroughRing(const QList<PieceRead>& pieces, qsizetype from);
    void dropRing();

    int fd_;
    std::unique_ptr<io_uring> ring_;
};
