// Start-up benchmark: the time from starting Quillpost to the first paint of its main
// window, beside a bare Qt window that loads the same pictures, each in a process of its
// own on the offscreen platform, in the same run.
//
//   startup_bench [runs]     measures both, best of `runs` (default 15)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <cstdlib>

#include "app/quillpost_app.h"
#include "app_folder.h"
#include "fake_clock.h"
#include "main_window/main_form.h"
#include "scripted_desktop.h"
#include "settings/settings_files.h"

namespace {

// Ends the process once its first paint is done: what comes after is not start-up.
class FirstPaint : public QObject {
  public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            QTimer::singleShot(0, [] { std::_Exit(0); });
        }
        return false;
    }
};

int runQuillpost(const QString& folder) {
    ScriptedDesktop desktop;
    FakeClock clock;
    QuillpostApp app(folder, desktop, clock);
    FirstPaint watcher;
    app.mainForm().installEventFilter(&watcher);
    app.mainForm().show();
    return QApplication::exec();
}

// The same pictures in a plain window of the same size, with a line of Japanese text as
// any window of the suite has.
int runBare(const QString& folder) {
    QWidget window;
    window.resize(405, 480);
    auto* caption = new QLabel(QStringLiteral("新着のメールはありませんでした。"), &window);
    caption->move(0, 460);
    const char16_t* pictures[] = {u"\\背景画像\\1.jpg", u"\\メール種別画像\\1.jpg",
                                  u"\\メール種別画像\\2.jpg", u"\\メール種別画像\\3.jpg",
                                  u"\\メール種別画像\\4.jpg"};
    int x = 0;
    for (const char16_t* picture : pictures) {
        auto* label = new QLabel(&window);
        label->setPixmap(QPixmap(appPath(folder, picture)));
        label->move(x++ * 10, 40);
    }
    const char16_t* icons[] = {u"\\ico\\2.ico", u"\\ico\\1.ico", u"\\ico\\3.ico",
                               u"\\ico\\5.ico", u"\\ico\\6.ico", u"\\ico\\7.ico"};
    for (const char16_t* icon : icons) {
        auto* button = new QToolButton(&window);
        button->setIcon(QIcon(appPath(folder, icon)));
        button->move(x++ * 40, 0);
    }
    FirstPaint watcher;
    window.installEventFilter(&watcher);
    window.show();
    return QApplication::exec();
}

double bestStartMs(const QString& mode, const QString& folder, int runs) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer timer;
        timer.start();
        child.start(QCoreApplication::applicationFilePath(), {mode, folder});
        child.waitForFinished(30000);
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

void copyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    const QDir source(from);
    for (const QString& name : source.entryList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot)) {
        const QString path = source.filePath(name);
        if (QFileInfo(path).isDir()) {
            copyFolder(path, to + u'/' + name);
        } else {
            QFile::copy(path, to + u'/' + name);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() == 3 && arguments[1] == u"quillpost") {
        return runQuillpost(arguments[2]);
    }
    if (arguments.size() == 3 && arguments[1] == u"bare") {
        return runBare(arguments[2]);
    }
    const int runs = arguments.size() > 1 ? arguments[1].toInt() : 15;
    // A copy of the built application folder with a server set, so that start-up opens
    // no dialog.
    QTemporaryDir dir;
    copyFolder(QStringLiteral(APP_FOLDER), dir.path());
    writeServerSettings(dir.path(),
                        {QStringLiteral("smtp.example.jp"), QStringLiteral("pop.example.jp"),
                         QStringLiteral("taro@example.jp"), 0});
    const double bareMs = bestStartMs(QStringLiteral("bare"), dir.path(), runs);
    const double quillpostMs = bestStartMs(QStringLiteral("quillpost"), dir.path(), runs);
    std::printf("bare window, same pictures  %7.1f ms to first paint (best of %d)\n", bareMs, runs);
    std::printf("Quillpost main window       %7.1f ms to first paint (best of %d)\n", quillpostMs,
                runs);
    std::printf("ratio                       %.2f of the bare window's (target <= 1.5)\n",
                quillpostMs / bareMs);
    return 0;
}
