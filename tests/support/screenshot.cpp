#include "screenshot.h"

#include <QApplication>
#include <QWidget>

#include <cstdio>

int runScreenshotProgram(int argc, char** argv,
                         const std::function<bool(const QDir& output)>& draw) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    return draw(QDir(QString::fromLocal8Bit(argv[1]))) ? 0 : 1;
}

bool saveScreenshot(QWidget& window, const QDir& output, const QString& name) {
    window.show();
    QApplication::processEvents();
    const QString path = output.filePath(name);
    if (!window.grab().save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}
