// LHA extraction benchmark: one large -lh5- archive (make_lha_bench_archive.py makes it)
// extracted by our module, loaded and called as Arcopen does, beside `bsdtar -xf`
// (libarchive's own tool) and `lhasa x` in the same run. Each tool extracts into a fresh
// folder; rounds alternate the tools and the best of the rounds counts.
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLibrary>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>

#include "cp932.h"

namespace {

using UnlhaFunction = qint32 (*)(void*, const char*, char*, quint32);

constexpr int kRounds = 3;

struct Tool {
    const char* name;
    std::function<bool(const QString& folder)> extract;
    double bestMs = std::numeric_limits<double>::max();
    qint64 bytesOut = 0;
};

qint64 bytesUnder(const QString& folder) {
    qint64 total = 0;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        total += it.nextFileInfo().size();
    }
    return total;
}

bool runTool(const QString& program, const QStringList& arguments, const QString& folder) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: lha_bench <archive.lzh> [work folder]\n"
                     "make the archive with bench/make_lha_bench_archive.py\n");
        return 2;
    }
    const QString archive = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    QLibrary module(QStringLiteral(LHA_MODULE_PATH));
    const auto unlha = reinterpret_cast<UnlhaFunction>(module.resolve("Unlha"));
    if (unlha == nullptr) {
        std::fprintf(stderr, "cannot load %s: %s\n", LHA_MODULE_PATH,
                     qPrintable(module.errorString()));
        return 1;
    }
    QTemporaryDir work(argc > 2
                           ? QString::fromLocal8Bit(argv[2]) + QStringLiteral("/lha_bench-XXXXXX")
                           : QDir::tempPath() + QStringLiteral("/lha_bench-XXXXXX"));

    Tool tools[] = {
        {"our module (Unlha)",
         [&](const QString& folder) {
             const QByteArray line =
                 encodeCp932(QStringLiteral("x -d1 -y1 \"%1\" \"%2\"\\ *.*").arg(archive, folder));
             return unlha(nullptr, line.constData(), nullptr, 0) == 0;
         }},
        {"bsdtar -xf",
         [&](const QString& folder) {
             return runTool(QStringLiteral("bsdtar"), {QStringLiteral("-xf"), archive}, folder);
         }},
        {"lhasa x",
         [&](const QString& folder) {
             return runTool(QStringLiteral("lhasa"), {QStringLiteral("x"), archive}, folder);
         }},
    };

    for (int round = 0; round < kRounds; ++round) {
        for (Tool& tool : tools) {
            const QString folder = work.path() + QStringLiteral("/out");
            QDir(folder).removeRecursively();
            QDir().mkpath(folder);
            QElapsedTimer timer;
            timer.start();
            if (!tool.extract(folder)) {
                std::fprintf(stderr, "%s failed\n", tool.name);
                return 1;
            }
            tool.bestMs = std::min(tool.bestMs, timer.nsecsElapsed() / 1e6);
            tool.bytesOut = bytesUnder(folder);
        }
    }
    QDir(work.path() + QStringLiteral("/out")).removeRecursively();

    std::printf("archive %s: %.1f MB packed, %.1f MB extracted; best of %d rounds\n",
                qPrintable(archive), QFileInfo(archive).size() / 1e6, tools[0].bytesOut / 1e6,
                kRounds);
    for (const Tool& tool : tools) {
        std::printf("  %-20s %8.0f ms  %6.1f MB/s out%s\n", tool.name, tool.bestMs,
                    tool.bytesOut / 1e3 / tool.bestMs,
                    tool.bytesOut == tools[0].bytesOut ? "" : "  (different output size!)");
    }
    std::printf("our module / bsdtar = %.2f (target at most 1.10); lhasa / bsdtar = %.2f\n",
                tools[0].bestMs / tools[1].bestMs, tools[2].bestMs / tools[1].bestMs);
    return 0;
}
