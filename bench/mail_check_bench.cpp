// Mail check benchmark: 1,000 waiting mails of 10 KB each fetched, stored and deleted by
// MailCheck from the test Dovecot (result display skipped through the fast clock), beside
// mpop fetching the same mailbox into a Maildir, in the same run. Arguments, in any order:
// the number of mails, and "stls" to have both upgrade the connection with STLS first.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <cstring>

#include "app/quillpost_app.h"
#include "bench_timing.h"
#include "fake_clock.h"
#include "mail_servers.h"
#include "main_window/main_form.h"
#include "scripted_desktop.h"
#include "settings/settings_files.h"
#include "store/mail_records.h"

namespace {

const QString kUser = QStringLiteral("taro");

// User and system time this process has used so far.
double processCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

void fillMailbox(const MailServers& servers, int count) {
    const QByteArray body = QByteArray("本日の会議資料を送ります。①②③ ").repeated(10 * 1024 / 40);
    for (int i = 0; i < count; ++i) {
        servers.deliver(kUser,
                        "From: Hanako <hanako@example.jp>\r\nTo: taro@example.jp\r\nSubject: "
                        "mail " +
                            QByteArray::number(i) +
                            "\r\nDate: Tue, 08 Dec 2026 09:00:00 +0900\r\nMIME-Version: 1.0\r\n"
                            "Content-Type: text/plain; charset=UTF-8\r\n"
                            "Content-Transfer-Encoding: 8bit\r\n\r\n" +
                            body + "\r\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    int count = 1000;
    bool stls = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "stls") == 0) {
            stls = true;
        } else if ((count = std::atoi(argv[i])) <= 0) {
            std::fprintf(stderr, "usage: mail_check_bench [COUNT] [stls]\n");
            return 2;
        }
    }
    MailServers::Options options;
    options.pop3Stls = stls;
    MailServers servers(options);
    if (!servers.started()) {
        std::fprintf(stderr, "%s\n", qPrintable(servers.error()));
        return 1;
    }

    QTemporaryDir folder;
    QDir(folder.path()).mkpath(QStringLiteral("★MailData"));
    QDir(folder.path()).mkpath(QStringLiteral("添付フォルダ"));
    writeAccountSettings(folder.path(), {kUser, QStringLiteral("himitsu")}, true);
    ScriptedDesktop desktop;
    FakeClock clock;
    QuillpostApp app(folder.path(), desktop, clock);
    app.mainForm();
    app.Pop3Server = servers.pop3Host();
    app.transport().setExtraCertificates(servers.caFile());

    QTemporaryDir mpopDir;
    const QString maildir = mpopDir.filePath(QStringLiteral("Maildir"));
    for (const char* sub : {"/cur", "/new", "/tmp"}) {
        QDir().mkpath(maildir + QLatin1String(sub));
    }
    const QString config = mpopDir.filePath(QStringLiteral("mpoprc"));
    {
        QFile file(config);
        file.open(QIODevice::WriteOnly);
        file.write(QStringLiteral("account default\nhost 127.0.0.1\nport %1\nuser taro\n"
                                  "password himitsu\nauth user\n%4keep off\n"
                                  "uidls_file %2/uidls\ndelivery maildir %3\n")
                       .arg(servers.pop3Host().section(u':', -1), mpopDir.path(), maildir,
                            stls ? QStringLiteral("tls on\ntls_starttls on\ntls_trust_file %1\n")
                                       .arg(servers.caFile())
                                 : QStringLiteral("tls off\n"))
                       .toUtf8());
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }

    // The best of five rounds each, alternating, so that both meet the same machine.
    double checkMs = 1e300;
    double checkCpuMs = 1e300;
    double mpopMs = 1e300;
    int stored = 0;
    int left = 0;
    for (int round = 0; round < 5; ++round) {
        fillMailbox(servers, count);
        QElapsedTimer timer;
        const double cpuBefore = processCpuMs();
        timer.start();
        app.mainForm().Command3_Click();
        checkMs = std::min(checkMs, timer.nsecsElapsed() / 1e6);
        checkCpuMs = std::min(checkCpuMs, processCpuMs() - cpuBefore);
        stored = receivedMailStore(folder.path()).RecordCount();
        left = static_cast<int>(servers.mailbox(kUser).size());

        fillMailbox(servers, count);
        mpopMs = std::min(mpopMs, commandMs(1, QStringLiteral("mpop"),
                                            {QStringLiteral("-C"), config, QStringLiteral("-q")}));
    }
    const int mpopGot = static_cast<int>(QDir(maildir + QStringLiteral("/new")).count()) - 2;

    // What the durability step costs a check: one sync of the records it appended.
    ReceivedMailStore scratch(folder.filePath(QStringLiteral("sync.data")),
                              folder.filePath(QStringLiteral("SYNC.TMP")));
    const ReceivedMailRecord sample = receivedMailStore(folder.path()).ReadAt(1).value();
    for (int i = 0; i < count; ++i) {
        scratch.Append(sample);
    }
    QElapsedTimer syncTimer;
    syncTimer.start();
    scratch.Sync();
    const double syncMs = syncTimer.nsecsElapsed() / 1e6;

    std::printf("mails                %d of 10 KB%s\n", count, stls ? ", STLS" : "");
    std::printf(
        "MailCheck            %8.1f ms  %7.1f mails/s  (stored %d in all, left on server %d)\n",
        checkMs, count * 1000.0 / checkMs, stored, left);
    std::printf("of which on our CPU  %8.1f ms  (the rest waits on the server)\n", checkCpuMs);
    std::printf("mpop into a Maildir  %8.1f ms  %7.1f mails/s  (fetched %d in all)\n", mpopMs,
                count * 1000.0 / mpopMs, mpopGot);
    std::printf("of which the sync    %8.1f ms  (the %d records of one check onto the disk)\n",
                syncMs, count);
    std::printf("rate ratio           %.2f of mpop's (target >= 1.0)\n", mpopMs / checkMs);
    return 0;
}
