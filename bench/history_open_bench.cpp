// History window benchmark: opens the received history over 10,000 and over 32,767
// records, beside `cat` of the same file in the same run, and reports the peak memory.
// A ratio below 1 means the window is open and painted sooner than `cat` reads the file.
// Where system calls are dear the list's many small reads pay most: run it under
// `dear_kernel_entries 8000 ring` (and `no-ring`, for the plain-read fallback) to see.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <limits>

#include "app/quillpost_app.h"
#include "bench_timing.h"
#include "clock.h"
#include "history/tyaku_form.h"
#include "main_window/main_form.h"
#include "qt_desktop.h"
#include "store/mail_records.h"

namespace {

// Writes `count` received mails, each with its own subject and a full body.
bool writeHistory(const QString& path, int count) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    QByteArray record =
        ReceivedMailRecord{
            QString(), QStringLiteral("Tue, 8 Dec 2026 10:00:00 +0900"),
            QStringLiteral("山田 太郎 <yamada@example.jp>"),
            QStringLiteral("本文です。①の件でご連絡します。よろしくお願いします。\r\n")
                .repeated(560),
            1}
            .toBytes();
    for (int i = 1; i <= count; ++i) {
        writeField(record, ReceivedMailRecord::SubjectField,
                   QStringLiteral("お知らせ 第%1号").arg(i));
        if (file.write(record) != record.size()) {
            return false;
        }
    }
    // Written back to disk before timing, so that neither reader meets the write-back.
    return file.flush() && ::fsync(file.handle()) == 0;
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// Opens the received history over `count` records as the user does, with the main
// window's button, up to the first painting of the list; beside it `cat` of the same
// file, which includes starting the process. The runs alternate, so that whatever else
// the machine does disturbs both alike; the best of `runs` of each.
void measure(QuillpostApp& app, const QString& path, int count, int runs) {
    if (!writeHistory(path, count)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return;
    }
    int rows = 0;
    double openMs = std::numeric_limits<double>::max();
    double catMs = std::numeric_limits<double>::max();
    for (int run = 0; run < runs; ++run) {
        openMs = std::min(openMs, bestOfMs(1, [&] {
                              app.mainForm().Command6_Click();
                              QCoreApplication::processEvents();
                              app.tyakuForm().MailListView->viewport()->repaint();
                          }));
        TyakuForm& form = app.tyakuForm();
        rows = form.MailListView->topLevelItemCount();
        // Closing the window is not timed.
        form.Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        catMs = std::min(catMs, commandMs(1, QStringLiteral("cat"), {path}));
    }
    std::printf(
        "%6d records (%5lld MB)  open %8.1f ms   cat %8.1f ms   ratio %.2f (target <= 0.5)"
        "   peak memory so far %.1f MB\n",
        rows, static_cast<long long>(QFile(path).size() >> 20), openMs, catMs, openMs / catMs,
        peakMegabytes());
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("★MailData"));
    QtDesktop desktop;
    SteadyClock clock;
    QuillpostApp app(dir.path(), desktop, clock);
    app.mainForm();
    app.HistoryMode = 1;
    std::printf("peak memory before opening %.1f MB\n", peakMegabytes());
    const QString path = receivedMailStore(dir.path()).file().path();
    measure(app, path, 10000, 5);
    measure(app, path, RecordFile::kMaxRecords, 5);
    return 0;
}
