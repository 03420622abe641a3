#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>

#include <cerrno>
#include <cstddef>

#include "history/piece_reader.h"
#include "history/record_spans.h"
#include "record_file.h"

namespace {

// Records shaped as the mail records: fields first, the live flag last, so that a record's
// flag and the next one's fields are read as one piece. Record n is all one letter.
constexpr int kLength = 64;

QByteArray listedImage(qint64 n) {
    QByteArray image = QByteArray(kLength, char('a' + n % 26));
    return image.replace(10, 10, QByteArray(10, ' ')).replace(25, 37, QByteArray(37, ' '));
}

struct SpanCase {
    const char* name;
    qint64 fileBytes;
    qint64 cutTo;  // the file is cut to this while its first record is visited; -1 leaves it
    qint16 last;
};

// Several ring batches of 255 records, so that pieces meet the batches' edges.
const SpanCase kCases[] = {
    {"APartialLastRecordIsLeftOut", 600 * kLength + 30, -1, 600},
    // Record 401 keeps its fields but not its flag, which comes with 402's fields.
    {"AFileCutWhileReadEndsAtItsLastWholeRecord", 600 * kLength, 400 * kLength + 40, 400},
};

// Empty when every record up to c.last came, in order, with its spans and nothing else.
std::string readsAsListed(const SpanCase& c) {
    QTemporaryDir dir;
    QFile out(dir.filePath(QStringLiteral("spans.data")));
    QByteArray bytes;
    for (qint64 n = 1; bytes.size() < c.fileBytes; ++n) {
        bytes += QByteArray(kLength, char('a' + n % 26));
    }
    out.open(QIODevice::WriteOnly);
    out.write(bytes.left(c.fileBytes));
    out.close();
    std::string fault;
    qint16 expected = 1;
    const qint16 last =
        readRecordSpans(RecordFile(out.fileName(), QString(), kLength, 62),
                        {{0, 10}, {20, 5}, {62, 2}}, [&](qint16 n, const QByteArray& record) {
                            if (n == 1 && c.cutTo >= 0) {
                                out.resize(c.cutTo);
                            }
                            if ((n != expected++ || record != listedImage(n)) && fault.empty()) {
                                fault = "record " + std::to_string(n) + " is not as listed";
                            }
                        });
    return fault.empty() && last != c.last ? "ended at " + std::to_string(last) : fault;
}

bool ringsRefused() {
    QFile self(QStringLiteral("/proc/self/exe"));
    return !self.open(QIODevice::ReadOnly) ||
           PieceReader(self.handle()).via() == PieceReader::Via::Pread;
}

class RecordSpansTest : public testing::TestWithParam<SpanCase> {};

TEST_P(RecordSpansTest, ThroughTheRing) {
    if (ringsRefused()) {
        GTEST_SKIP() << "this system refuses io_uring";
    }
    EXPECT_EQ(readsAsListed(GetParam()), "");
}

TEST_P(RecordSpansTest, WithPlainReadsWhereAContainerRefusesRings) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    sock_filter refuseRings[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_io_uring_setup, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog filter{sizeof refuseRings / sizeof refuseRings[0], refuseRings};
    EXPECT_EXIT(
        {
            ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0);
            ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter);
            const std::string fault = ringsRefused() ? readsAsListed(GetParam()) : "a ring";
            std::fprintf(stderr, "%s\n", fault.c_str());
            std::_Exit(fault.empty() ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

INSTANTIATE_TEST_SUITE_P(Files, RecordSpansTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
