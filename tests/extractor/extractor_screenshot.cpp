// Renders Arcopen's window offscreen into <folder>/arcopen.png. The character picture is
// taken from the built application folder when the generator has drawn it there.
#include <QApplication>
#include <QDir>
#include <QPixmap>

#include <cstdio>

#include "form1.h"
#include "qt_desktop.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: extractor_screenshot <folder>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QtDesktop desktop;
    Form1 form(QStringLiteral(ARCOPEN_FOLDER), desktop);
    form.show();
    const QString target =
        QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("arcopen.png"));
    if (!form.grab().save(target)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(target));
        return 1;
    }
    return 0;
}
