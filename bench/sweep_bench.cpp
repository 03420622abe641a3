// Attachment sweep benchmark: 50 keywords (48 plain names, 2 patterns) over an attachment
// folder of 10,000 files that none of them names, so every run looks at every file and
// deletes nothing. Beside it, in the same run, Qt's own look-up of the same keywords as
// case-insensitive name filters of the folder.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

#include "attachment_sweep.h"
#include "bench_timing.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int runs = 5;
    QTemporaryDir dir;
    const QDir folder(dir.path());
    for (int i = 0; i < count; ++i) {
        QFile file(folder.filePath(QStringLiteral("添付ファイル_%1_報告.pdf").arg(i)));
        file.open(QIODevice::WriteOnly);
    }
    KeywordSlots keywords;
    for (int i = 0; i < 48; ++i) {
        keywords[i] = QStringLiteral("Virus%1.exe").arg(i);
    }
    keywords[48] = QStringLiteral("*.scr");
    keywords[49] = QStringLiteral("doc?.pif");

    int deleted = 0;
    const double sweepMs =
        bestOfMs(runs, [&] { deleted += sweepAttachments(dir.path(), keywords).deletedKeywords; });
    qsizetype found = 0;
    const double filterMs = bestOfMs(runs, [&] {
        for (const QString& keyword : keywords) {
            QDir lookup(dir.path(), keyword, QDir::Name, QDir::Files | QDir::Hidden);
            found += lookup.entryList().size();
        }
    });
    std::printf("%d files, 50 keywords: sweep %.1f ms, QDir name filters %.1f ms (%d, %lld)\n",
                count, sweepMs, filterMs, deleted, static_cast<long long>(found));
    return deleted == 0 && found == 0 ? 0 : 1;
}
