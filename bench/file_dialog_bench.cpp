// File dialog benchmark: the time from building a file dialog to its first paint on a real X
// display, for Qt's file dialog as it comes and as the programs set it up, each in a process
// of its own, without and with a D-Bus session and in a Japanese locale. With "portal" it
// also runs them on Qt's desktop-portal theme (Debian's qt6-xdgdesktopportal-platformtheme)
// with a portal that never answers, as on a desktop whose portal is broken; each such
// process first waits out D-Bus's 25-second timeout while starting up, before the dialog.
//
//   DISPLAY=:99 file_dialog_bench [runs] [portal]     (a display: `Xvfb :99 &`)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "file_dialog.h"

namespace {

// Prints the milliseconds from `start` to the dialog's first paint and ends the process.
class FirstPaint : public QObject {
  public:
    explicit FirstPaint(const QElapsedTimer& start) : start_(start) {}

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            std::printf("%.1f\n", start_.nsecsElapsed() / 1e6);
            std::fflush(stdout);
            QTimer::singleShot(0, [] { std::_Exit(0); });
        }
        return false;
    }

  private:
    const QElapsedTimer& start_;
};

int runDialog(bool setUp, const QString& folder) {
    QElapsedTimer start;
    start.start();
    QFileDialog dialog(nullptr, QStringLiteral("ファイルを開く"), folder,
                       QStringLiteral("全てのファイル(*.*)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (setUp) {
        setUpFileDialog(dialog);
    }
    FirstPaint watcher(start);
    dialog.installEventFilter(&watcher);
    dialog.open();
    QTimer::singleShot(60000, [] { std::_Exit(1); });
    return QApplication::exec();
}

struct Setting {
    const char* name;
    bool bus;
    const char* locale;
    bool portal;
};

// A session bus configuration whose desktop portal is started on request and never answers.
QString writeSilentPortalBus(const QDir& dir) {
    QFile service(dir.filePath(QStringLiteral("portal.service")));
    service.open(QIODevice::WriteOnly);
    service.write("[D-BUS Service]\nName=org.freedesktop.portal.Desktop\nExec=/bin/sleep 600\n");
    QFile standard(QStringLiteral("/usr/share/dbus-1/session.conf"));
    standard.open(QIODevice::ReadOnly);
    QByteArray config = standard.readAll();
    config.replace("<standard_session_servicedirs />",
                   "<servicedir>" + dir.path().toUtf8() + "</servicedir>");
    const QString path = dir.filePath(QStringLiteral("session.conf"));
    QFile out(path);
    out.open(QIODevice::WriteOnly);
    out.write(config);
    return path;
}

// Best milliseconds to first paint over `runs` processes; negative when none painted.
double bestDialogMs(const Setting& setting, bool setUp, const QString& folder,
                    const QString& busConfig, int runs) {
    double best = -1;
    for (int i = 0; i < runs; ++i) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("LANG"), QString::fromLatin1(setting.locale));
        environment.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(setting.locale));
        environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORMTHEME"));
        if (setting.portal) {
            environment.insert(QStringLiteral("QT_QPA_PLATFORMTHEME"),
                               QStringLiteral("xdgdesktopportal"));
        }
        QStringList command = {QCoreApplication::applicationFilePath(),
                               setUp ? QStringLiteral("suite") : QStringLiteral("qt"), folder};
        if (setting.bus) {
            QStringList bus = {QStringLiteral("dbus-run-session")};
            if (setting.portal) {
                bus.append(QStringLiteral("--config-file=") + busConfig);
            }
            bus.append(QStringLiteral("--"));
            command = bus + command;
        }
        QProcess child;
        child.setProcessEnvironment(environment);
        child.setStandardErrorFile(QProcess::nullDevice());
        child.start(command.takeFirst(), command);
        child.waitForFinished(120000);
        bool painted = false;
        const double ms = child.readAllStandardOutput().trimmed().toDouble(&painted);
        if (painted && (best < 0 || ms < best)) {
            best = ms;
        }
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    const bool child =
        argc == 3 && (std::strcmp(argv[1], "qt") == 0 || std::strcmp(argv[1], "suite") == 0);
    if (child) {
        QApplication application(argc, argv);
        return runDialog(std::strcmp(argv[1], "suite") == 0, QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int runs = arguments.size() > 1 ? std::max(1, arguments[1].toInt()) : 7;
    const bool portal = arguments.contains(QStringLiteral("portal"));
    const bool haveBus =
        !QStandardPaths::findExecutable(QStringLiteral("dbus-run-session")).isEmpty();
    // A folder like an attachment folder: a few hundred files with Japanese names.
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("添付フォルダ"));
    QDir().mkpath(folder);
    for (int i = 0; i < 300; ++i) {
        QFile(QDir(folder).filePath(QStringLiteral("添付ファイル_%1.pdf").arg(i)))
            .open(QIODevice::WriteOnly);
    }
    const QString busConfig = writeSilentPortalBus(QDir(dir.path()));

    const Setting settings[] = {
        {"no D-Bus session, C.UTF-8", false, "C.UTF-8", false},
        {"D-Bus session, C.UTF-8", true, "C.UTF-8", false},
        {"D-Bus session, ja_JP.UTF-8", true, "ja_JP.UTF-8", false},
        {"silent portal, portal theme, ja_JP", true, "ja_JP.UTF-8", true},
    };
    std::printf("ms from building the dialog to its first paint, best of %d processes\n", runs);
    std::printf("%-36s %12s %12s\n", "", "Qt's dialog", "as set up");
    for (const Setting& setting : settings) {
        if ((setting.bus && !haveBus) || (setting.portal && !portal)) {
            continue;
        }
        const int settingRuns = setting.portal ? 1 : runs;
        const double plain = bestDialogMs(setting, false, folder, busConfig, settingRuns);
        const double setUp = bestDialogMs(setting, true, folder, busConfig, settingRuns);
        std::printf("%-36s %12.1f %12.1f\n", setting.name, plain, setUp);
    }
    return 0;
}
