#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QMap>
#include <QProcess>

#include <cstdio>
#include <random>

#include "mail_servers.h"
#include "settings/settings_files.h"
#include "store/mail_records.h"
#include "temp_app_folder.h"

namespace {

constexpr int kRuns = 15;
constexpr int kMailsPerRun = 100;

QByteArray numberedMail(int run, int n) {
    const QByteArray subject = "run " + QByteArray::number(run) + " mail " + QByteArray::number(n);
    return "From: hanako@example.jp\r\nSubject: " + subject +
           "\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"B\"\r\n\r\n"
           "--B\r\nContent-Type: text/plain\r\n\r\n" +
           subject +
           "\r\n--B\r\nContent-Type: application/octet-stream\r\n"
           "Content-Disposition: attachment; filename=\"part.bin\"\r\n"
           "Content-Transfer-Encoding: base64\r\n\r\n" +
           QByteArray(4000, char('a' + n % 26)).toBase64() + "\r\n--B--\r\n";
}

// Starts a check in a child process; killed after `killAfterMs`, or run to its end when
// that is negative. The child's exit code when it ended by itself.
int runCheck(const TempAppFolder& folder, const QString& host, int killAfterMs) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.setStandardOutputFile(QProcess::nullDevice());
    child.start(QStringLiteral(MAIL_CHECK_RUNNER), {folder.path(), host});
    if (!child.waitForStarted(10000)) {
        return -1;
    }
    if (killAfterMs >= 0 && !child.waitForFinished(killAfterMs)) {
        child.kill();
        child.waitForFinished(10000);
        return 0;
    }
    child.waitForFinished(60000);
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
}

TEST(MailCheckKill, NoMailIsLostOrStoredTwiceWhateverMomentTheCheckDies) {
    MailServers servers;
    ASSERT_TRUE(servers.started()) << servers.error().toStdString();
    TempAppFolder folder;
    ASSERT_TRUE(writeAccountSettings(folder.path(),
                                     {QStringLiteral("taro"), QStringLiteral("himitsu")}, true));
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    int fullCheckMs = 0;
    int killsMidCheck = 0;  // kills that fell between the first and the last mail stored
    for (int run = 0; run < kRuns; ++run) {
        for (int n = 0; n < kMailsPerRun; ++n) {
            servers.deliver(QStringLiteral("taro"), numberedMail(run, n));
        }
        // The first check runs to its end and times the span the kills are spread over.
        QElapsedTimer timer;
        timer.start();
        const int killAfter =
            run == 0 ? -1 : std::uniform_int_distribution<int>(0, fullCheckMs)(random);
        ASSERT_GE(runCheck(folder, servers.pop3Host(), killAfter), 0);
        if (run == 0) {
            fullCheckMs = static_cast<int>(timer.elapsed());
        }
        const qsizetype afterKill = receivedMailStore(folder.path()).ReadAll().size();
        if (afterKill > run * kMailsPerRun && afterKill < (run + 1) * kMailsPerRun) {
            ++killsMidCheck;
        }
        ASSERT_EQ(runCheck(folder, servers.pop3Host(), -1), 0) << "run " << run;

        QMap<QString, int> stored;
        for (const ReceivedMailRecord& record : receivedMailStore(folder.path()).ReadAll()) {
            ++stored[record.Subject.trimmed()];
        }
        ASSERT_EQ(stored.size(), (run + 1) * kMailsPerRun) << "run " << run << ": mail lost";
        for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
            ASSERT_EQ(it.value(), 1) << it.key().toStdString() << " stored twice";
        }
        ASSERT_TRUE(servers.mailbox(QStringLiteral("taro")).isEmpty()) << "run " << run;
    }
    RecordProperty("full_check_ms", fullCheckMs);
    RecordProperty("kills_mid_check", killsMidCheck);
    std::printf("full check %d ms, %d of %d kills mid-check\n", fullCheckMs, killsMidCheck,
                kRuns - 1);
}

}  // namespace
