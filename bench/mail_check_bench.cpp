// Mail check benchmark: waiting mails of 10 KB each fetched, stored and deleted by
// MailCheck from the test Dovecot (result display skipped through the fast clock), beside
// mpop fetching the same mailbox into a Maildir, in the same run. Arguments, in any order:
// the number of mails (1,000, or 300 with "delay"), "stls" to have both upgrade the
// connection with STLS first, and "delay" to measure also through a proxy that holds
// every byte back 10 ms and 25 ms each way, as a provider's server a network away.
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

// The proxy of delay_proxy.cpp in front of `port`, for as long as it lives.
class DelayProxy {
  public:
    DelayProxy(const QString& port, int delayMs) {
        process_.start(QStringLiteral(DELAY_PROXY), {port, QString::number(delayMs)});
        if (process_.waitForReadyRead(5000)) {
            port_ = QString::fromLatin1(process_.readLine().trimmed());
        }
    }
    ~DelayProxy() {
        process_.closeWriteChannel();
        process_.waitForFinished(5000);
    }
    const QString& port() const { return port_; }

  private:
    QProcess process_;
    QString port_;
};

struct Figures {
    double checkMs = 1e300;
    double checkCpuMs = 1e300;
    double mpopMs = 1e300;
    int stored = 0;
    int left = 0;
    int mpopGot = 0;
};

class Bench {
  public:
    Bench(const MailServers& servers, QuillpostApp& app, bool stls)
        : servers_(servers), app_(app), stls_(stls) {
        maildir_ = mpopDir_.filePath(QStringLiteral("Maildir"));
        for (const char* sub : {"/cur", "/new", "/tmp"}) {
            QDir().mkpath(maildir_ + QLatin1String(sub));
        }
    }

    // The best of `rounds` rounds each, alternating, so that both meet the same machine.
    Figures measure(const QString& port, int count, int rounds) {
        const QString config = mpopConfig(port);
        app_.Pop3Server = QStringLiteral("127.0.0.1:") + port;
        const int mpopBefore = fetchedByMpop();
        Figures figures;
        for (int round = 0; round < rounds; ++round) {
            fillMailbox(servers_, count);
            const int storedBefore = receivedMailStore(app_.folder()).RecordCount();
            QElapsedTimer timer;
            const double cpuBefore = processCpuMs();
            timer.start();
            app_.mainForm().Command3_Click();
            figures.checkMs = std::min(figures.checkMs, timer.nsecsElapsed() / 1e6);
            figures.checkCpuMs = std::min(figures.checkCpuMs, processCpuMs() - cpuBefore);
            figures.stored += receivedMailStore(app_.folder()).RecordCount() - storedBefore;
            figures.left += static_cast<int>(servers_.mailbox(kUser).size());

            fillMailbox(servers_, count);
            figures.mpopMs = std::min(
                figures.mpopMs, commandMs(1, QStringLiteral("mpop"),
                                          {QStringLiteral("-C"), config, QStringLiteral("-q")}));
        }
        figures.mpopGot = fetchedByMpop() - mpopBefore;
        return figures;
    }

  private:
    QString mpopConfig(const QString& port) {
        const QString config = mpopDir_.filePath(QStringLiteral("mpoprc-") + port);
        QFile file(config);
        file.open(QIODevice::WriteOnly);
        file.write(QStringLiteral("account default\nhost 127.0.0.1\nport %1\nuser taro\n"
                                  "password himitsu\nauth user\n%4keep off\n"
                                  "uidls_file %2/uidls\ndelivery maildir %3\n")
                       .arg(port, mpopDir_.path(), maildir_,
                            stls_ ? QStringLiteral("tls on\ntls_starttls on\ntls_trust_file %1\n")
                                        .arg(servers_.caFile())
                                  : QStringLiteral("tls off\n"))
                       .toUtf8());
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        return config;
    }

    int fetchedByMpop() const {
        return static_cast<int>(QDir(maildir_ + QStringLiteral("/new")).count()) - 2;
    }

    const MailServers& servers_;
    QuillpostApp& app_;
    bool stls_;
    QTemporaryDir mpopDir_;
    QString maildir_;
};

void print(const char* where, int count, int rounds, const Figures& figures) {
    std::printf("%s\n", where);
    std::printf("  MailCheck            %8.1f ms  %7.1f mails/s  (stored %d, left on server %d)\n",
                figures.checkMs, count * 1000.0 / figures.checkMs, figures.stored / rounds,
                figures.left);
    std::printf("  of which on our CPU  %8.1f ms  (the rest waits on the network and the disk)\n",
                figures.checkCpuMs);
    std::printf("  mpop into a Maildir  %8.1f ms  %7.1f mails/s  (fetched %d)\n", figures.mpopMs,
                count * 1000.0 / figures.mpopMs, figures.mpopGot / rounds);
    std::printf("  rate ratio           %.2f of mpop's (target >= 1.0)\n",
                figures.mpopMs / figures.checkMs);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    int count = 0;
    bool stls = false;
    bool delay = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "stls") == 0) {
            stls = true;
        } else if (std::strcmp(argv[i], "delay") == 0) {
            delay = true;
        } else if ((count = std::atoi(argv[i])) <= 0) {
            std::fprintf(stderr, "usage: mail_check_bench [COUNT] [stls] [delay]\n");
            return 2;
        }
    }
    if (count == 0) {
        count = delay ? 300 : 1000;
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
    app.transport().setExtraCertificates(servers.caFile());
    Bench bench(servers, app, stls);
    const QString port = servers.pop3Host().section(u':', -1);

    std::printf("mails                  %d of 10 KB%s\n", count, stls ? ", STLS" : "");
    constexpr int kLoopbackRounds = 5;
    print("loopback", count, kLoopbackRounds, bench.measure(port, count, kLoopbackRounds));
    if (delay) {
        constexpr int kDelayedRounds = 3;
        for (int delayMs : {10, 25}) {
            DelayProxy proxy(port, delayMs);
            if (proxy.port().isEmpty()) {
                std::fprintf(stderr, "the delaying proxy did not start\n");
                return 1;
            }
            const QByteArray where = QByteArray::number(delayMs) + " ms each way (" +
                                     QByteArray::number(2 * delayMs) + " ms round trip)";
            print(where.constData(), count, kDelayedRounds,
                  bench.measure(proxy.port(), count, kDelayedRounds));
        }
    }
    if (!desktop.messages.isEmpty()) {
        std::printf("boxes shown: %s\n", qPrintable(desktop.messageTexts().join(u'|')));
    }
    return 0;
}
