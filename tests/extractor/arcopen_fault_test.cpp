// Arcopen's extraction with a disk that fails one call: each extracted file is there whole
// or not at all, a file it replaces stays as it was until then, and the window tells.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QMimeData>
#include <QUrl>

#include <iostream>

#include "extractor_fixtures.h"
#include "fault_injection.h"
#include "form1.h"
#include "scripted_desktop.h"
#include "temp_app_folder.h"

namespace {

using faultInjection::Call;
using faultInjection::Plan;

const QByteArray kOldReadme("my own notes, not the archive's\r\n");

// Each entry below `folder` with its bytes; a folder with none.
QMap<QString, QByteArray> contents(const QString& folder) {
    QMap<QString, QByteArray> entries;
    for (const QString& entry : treeOf(folder)) {
        QFile file(folder + u'/' + entry);
        entries.insert(entry, entry.endsWith(u'/') || !file.open(QIODevice::ReadOnly)
                                  ? QByteArray()
                                  : file.readAll());
    }
    return entries;
}

// Arcopen with its module, the archive in a download folder whose target folder already
// holds a file of the name of one entry.
struct Drop {
    TempAppFolder arcopen;
    ScriptedDesktop desktop;
    Form1 form{arcopen.path(), desktop};
    QString archive;
    QString target;

    Drop() {
        QFile::copy(QStringLiteral(LHA_MODULE_PATH),
                    arcopen.file(QFileInfo(QStringLiteral(LHA_MODULE_PATH)).fileName()));
        QDir().mkpath(arcopen.file(QStringLiteral("dl/file")));
        archive = placeArchive(arcopen, testArchive(QStringLiteral("stored_level0.lzh")),
                               QStringLiteral("dl/file.lzh"));
        target = arcopen.file(QStringLiteral("dl/file"));
        arcopen.write(QStringLiteral("dl/file/readme.txt"), kOldReadme);
        form.Form_Load();
        form.show();
    }

    void run() {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(archive)});
        form.Image1_OLEDragDrop(data);
    }
};

TEST(ArcopenFaults, EveryFailingCallLeavesWholeFilesAndIsTold) {
    QMap<QString, QByteArray> before;
    QMap<QString, QByteArray> after;
    {
        Drop clean;
        before = contents(clean.target);
        clean.run();
        ASSERT_TRUE(clean.desktop.messages.isEmpty());
        after = contents(clean.target);
    }
    ASSERT_EQ(after.keys(),
              (QStringList{"readme.txt", "sub/", "sub/deeper/", "sub/deeper/inner.txt"}));
    ASSERT_NE(after.value(QStringLiteral("readme.txt")), kOldReadme);

    const int faults = faultInjection::eachFault(
        {Call::Open, Call::Write, Call::Sync, Call::Rename, Call::Close}, [&](const Plan& plan) {
            const std::string what = faultInjection::describe(plan).toStdString();
            Drop drop;
            faultInjection::arm(plan, drop.target);
            drop.run();
            const bool fired = faultInjection::disarm();
            const QMap<QString, QByteArray> now = contents(drop.target);
            for (auto entry = now.begin(); entry != now.end(); ++entry) {
                EXPECT_TRUE(after.contains(entry.key()))
                    << what << " " << entry.key().toStdString();
                EXPECT_TRUE(entry.value() == before.value(entry.key(), after.value(entry.key())) ||
                            entry.value() == after.value(entry.key()))
                    << what << " " << entry.key().toStdString();
            }
            EXPECT_TRUE(now.contains(QStringLiteral("readme.txt"))) << what;
            if (!fired) {
                EXPECT_EQ(now, after) << what;
                EXPECT_TRUE(drop.desktop.messages.isEmpty()) << what;
                return false;
            }
            // A failure box, never the close that follows success.
            EXPECT_TRUE(drop.form.isVisible()) << what;
            EXPECT_EQ(drop.desktop.messages.size(), 1) << what;
            if (!drop.desktop.messages.isEmpty()) {
                const QStringList lines = drop.desktop.messages[0].text.split(u'\n');
                EXPECT_EQ(lines.value(1), QStringLiteral("解凍に失敗しました。Error Code:0x6"))
                    << what;
                EXPECT_TRUE(lines.value(2).startsWith(drop.target)) << what;
            }
            return true;
        });
    std::cout << "Arcopen extraction of 2 files: " << faults << " runs with a fault\n";
    EXPECT_GE(faults, 10);
}

}  // namespace
