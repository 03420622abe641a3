// Store benchmark: appends 10,000 received-mail records, reads them all, and deletes one
// (mark and compact), beside `cp` and `cat` of the same file in the same run.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

#include "bench_timing.h"
#include "store/mail_records.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int runs = 3;
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("★MailData"));
    ReceivedMailStore store = receivedMailStore(dir.path());
    const QString path = store.file().path();

    ReceivedMailRecord record{
        QStringLiteral("お知らせ①"), QStringLiteral("Tue, 8 Dec 2026 10:00:00 +0900"),
        QStringLiteral("山田 <yamada@example.jp>"), QStringLiteral("本文です。").repeated(600), 1};
    const double appendMs = bestOfMs(1, [&] {
        for (int i = 0; i < count; ++i) {
            record.LiveFlag = static_cast<qint16>(i + 1);
            store.Append(record);
        }
    });
    const double readAllMs = bestOfMs(runs, [&] {
        qint64 seen = 0;
        store.file().ReadAll([&](qint16, const QByteArray& r) {
            seen += r.size();
            return true;
        });
    });
    const double typedReadAllMs = bestOfMs(1, [&] { store.ReadAll(); });
    const double catMs = commandMs(runs, QStringLiteral("cat"), {path});
    const QString copy = path + QStringLiteral(".copy");
    const double cpMs = commandMs(runs, QStringLiteral("cp"), {path, copy});
    const double cpSyncMs =
        commandMs(runs, QStringLiteral("dd"),
                  {"if=" + path, "of=" + copy, "bs=1M", "conv=fsync", "status=none"});
    QFile::remove(copy);

    const int appended = store.RecordCount();
    const qint64 fileBytes = QFile(path).size();
    // Each run deletes one record near the middle, as the history window does.
    const double compactMs = bestOfMs(runs, [&] {
        ReceivedMailRecord buffer = *store.ReadAt(static_cast<qint16>(count / 2));
        store.MarkDeleted(static_cast<qint16>(count / 2), buffer);
        store.Compact();
    });

    std::printf("records                   %d (%lld bytes)\n", appended,
                static_cast<long long>(fileBytes));
    std::printf("append all                %9.1f ms\n", appendMs);
    std::printf(
        "ReadAll (raw records)     %9.1f ms   cat      %9.1f ms   ratio %.2f (target <= 3)\n",
        readAllMs, catMs, readAllMs / catMs);
    std::printf("ReadAll (decoded fields)  %9.1f ms\n", typedReadAllMs);
    std::printf(
        "delete one (mark+compact) %9.1f ms   cp       %9.1f ms   ratio %.2f (target <= 2.5)\n",
        compactMs, cpMs, compactMs / cpMs);
    std::printf("                                         cp+fsync %9.1f ms   ratio %.2f\n",
                cpSyncMs, compactMs / cpSyncMs);
    return 0;
}
