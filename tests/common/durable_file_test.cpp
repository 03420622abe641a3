#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <sys/stat.h>

#include "durable_file.h"
#include "fault_injection.h"
#include "temp_app_folder.h"

namespace {

using faultInjection::Call;

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

mode_t modeOf(const QString& path) {
    struct stat info {};
    ::stat(QFile::encodeName(path).constData(), &info);
    return info.st_mode & 07777;
}

// Every failing call of a replacement leaves the old file or the new one, never a mix, a
// cut file or a stray temporary file, and a failure is always told.
TEST(DurableFileTest, EveryFailingCallLeavesTheOldOrTheNewFileAndIsTold) {
    const QByteArray before = QByteArray("old settings\r\n").repeated(100);
    const QByteArray after = QByteArray("new settings, longer than before\r\n").repeated(3000);
    int told = 0;
    const int faults = faultInjection::eachFault(
        {Call::Open, Call::Write, Call::Sync, Call::Rename, Call::Close},
        [&](const faultInjection::Plan& plan) {
            TempAppFolder app;
            const QString path = app.file(QStringLiteral("settings.ini"));
            app.write(QStringLiteral("settings.ini"), before);
            QFile::setPermissions(
                path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
            faultInjection::arm(plan, app.path());
            QString error;
            const bool written = writeFileDurably(path, after, error);
            const bool fired = faultInjection::disarm();
            const QByteArray now = app.read(QStringLiteral("settings.ini"));
            EXPECT_TRUE(now == before || now == after)
                << faultInjection::describe(plan).toStdString();
            EXPECT_EQ(entries(app.path()), QStringList{QStringLiteral("settings.ini")});
            EXPECT_EQ(modeOf(path), mode_t(0640));
            if (fired) {
                EXPECT_FALSE(written) << faultInjection::describe(plan).toStdString();
                EXPECT_FALSE(error.isEmpty()) << faultInjection::describe(plan).toStdString();
                told += written ? 0 : 1;
            } else {
                EXPECT_TRUE(written);
                EXPECT_EQ(now, after);
            }
            return fired;
        });
    EXPECT_GE(faults, 6);
    EXPECT_EQ(told, faults);
}

}  // namespace
