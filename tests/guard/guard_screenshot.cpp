#include <QApplication>
#include <QDir>
#include <QImage>

#include <cstdio>

#include "form1.h"
#include "keyword_record.h"
#include "scripted_desktop.h"
#include "temp_app_folder.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);

    TempAppFolder folder;
    KeywordStore keywords = keywordStore(folder.path());
    for (const char16_t* name : {u"請求書.pif", u"readme.exe", u"*.scr", u"写真.jpg.exe"}) {
        keywords.Append({QString::fromUtf16(name), 1});
    }
    folder.write(QStringLiteral("添付フォルダ/見積書.txt"), "");
    folder.write(QStringLiteral("添付フォルダ/会議資料.html"), "");
    QImage picture(120, 90, QImage::Format_RGB32);
    picture.fill(QColor(70, 130, 180));
    picture.save(folder.file(QStringLiteral("添付フォルダ/風景.bmp")));

    ScriptedDesktop desktop;
    Form1 window(folder.path(), desktop);
    window.Dir1->setPath(folder.attachmentFolder());
    window.show();
    QApplication::processEvents();

    const QString target = QDir(QString::fromLocal8Bit(argv[1])).filePath("holdfast.png");
    if (!window.grab().save(target)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(target));
        return 1;
    }
    return 0;
}
