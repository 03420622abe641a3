#include <QImage>

#include "form1.h"
#include "keyword_record.h"
#include "screenshot.h"
#include "scripted_desktop.h"
#include "temp_app_folder.h"

int main(int argc, char** argv) {
    return runScreenshotProgram(argc, argv, [](const QDir& output) {
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
        return saveScreenshot(window, output, QStringLiteral("holdfast.png"));
    });
}
