#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "fault_injection.h"
#include "user_app_folder.h"

namespace {

using faultInjection::Call;

void put(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A copy that failed is not there at all, so the next start copies it whole; a cut copy
// would count as the user's own file for ever.
TEST(UserFolderFaults, AFailedCopyIsMissingNeverCutAndTheNextStartMendsIt) {
    QTemporaryDir installed;
    const QMap<QString, QByteArray> files = {
        {QStringLiteral("template/挨拶.txt"), QByteArray("拝啓\r\n").repeated(3000)},
        {QStringLiteral("fortune.txt"), QByteArray("大吉\r\n").repeated(500)},
    };
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        put(installed.filePath(it.key()), it.value());
    }
    const int faults = faultInjection::eachFault(
        {Call::Open, Call::Write, Call::Sync, Call::Rename, Call::Close}, [&](const auto& plan) {
            QTemporaryDir user;
            faultInjection::arm(plan, user.path());
            const bool filled = fillUserFolder(installed.path(), user.path());
            const bool fired = faultInjection::disarm();
            const std::string what = faultInjection::describe(plan).toStdString();
            EXPECT_EQ(filled, !fired) << what;
            for (auto it = files.cbegin(); it != files.cend(); ++it) {
                const QByteArray now = contentOf(user.filePath(it.key()));
                EXPECT_TRUE(now == it.value() || now == "<missing>") << what;
            }
            EXPECT_TRUE(fillUserFolder(installed.path(), user.path()));
            for (auto it = files.cbegin(); it != files.cend(); ++it) {
                EXPECT_EQ(contentOf(user.filePath(it.key())), it.value()) << what;
            }
            return fired;
        });
    EXPECT_GE(faults, 6);
}

}  // namespace
