// Sent-history benchmark: what a refused send costs the history (the attempt recorded,
// then taken out again by mark and compaction) beside what a send that goes out costs
// (the record alone) and an fsynced copy of the same file, in the same run.
//
//   send_withdraw_bench [records]     a history of `records` sent mails (default 1000)
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

#include "app/quillpost_app.h"
#include "bench_timing.h"
#include "fake_clock.h"
#include "scripted_desktop.h"
#include "send/sent_attempt.h"
#include "store/mail_records.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int runs = 5;
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("★MailData"));
    ScriptedDesktop desktop;
    FakeClock clock;
    QuillpostApp app(dir.path(), desktop, clock);

    const SentMailRecord record{QStringLiteral("お見積り①の件"), QStringLiteral("taro@example.jp"),
                                QStringLiteral("いつもお世話になっております。").repeated(400),
                                QStringLiteral("2026/12/08  10:00:00"), 1};
    SentMailStore store = sentMailStore(dir.path());
    for (int i = 0; i < count; ++i) {
        store.Append(record);
    }
    const QString path = store.file().path();
    const qint64 bytes = QFile(path).size();

    const double withdrawMs = bestOfMs(runs, [&] {
        if (const auto attempt = RecordSendAttempt(app, nullptr, record)) {
            WithdrawSendAttempt(app, nullptr, *attempt);
        }
    });
    const double copyMs =
        commandMs(runs, QStringLiteral("dd"),
                  {"if=" + path, "of=" + path + ".copy", "bs=1M", "conv=fsync", "status=none"});
    QFile::remove(path + ".copy");
    // Last: each run leaves one more record behind.
    const double recordMs = bestOfMs(runs, [&] { RecordSendAttempt(app, nullptr, record); });

    std::printf("sent history              %d records (%lld bytes)\n", count,
                static_cast<long long>(bytes));
    std::printf("refused send: record + withdraw  %9.1f ms\n", withdrawMs);
    std::printf("sent mail: record only           %9.1f ms\n", recordMs);
    std::printf("dd conv=fsync of the file        %9.1f ms   ratio %.2f\n", copyMs,
                copyMs > 0 ? withdrawMs / copyMs : 0.0);
    std::printf("left behind by withdrawals: %d\n", store.RecordCount() - count - runs);
    return 0;
}
