// Draws Quillpost's main window (with its help line uncovered), the options dialog and the
// colour dialog into <folder>/quillpost_main.png, quillpost_options.png and
// quillpost_colour.png, using the pictures of the built application folder.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

#include "app/quillpost_app.h"
#include "dialogs/back_color_form.h"
#include "dialogs/option_form.h"
#include "fake_clock.h"
#include "main_window/main_form.h"
#include "screenshot.h"
#include "scripted_desktop.h"
#include "settings/settings_files.h"
#include "temp_app_folder.h"

namespace {

void copyPictures(const QString& from, const QString& to) {
    for (const QString& sub :
         {QStringLiteral("背景画像"), QStringLiteral("メール種別画像"), QStringLiteral("ico")}) {
        QDir().mkpath(to + u'/' + sub);
        QDirIterator files(from + u'/' + sub, QDir::Files);
        while (files.hasNext()) {
            const QFileInfo file = files.nextFileInfo();
            QFile::copy(file.filePath(), to + u'/' + sub + u'/' + file.fileName());
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    return runScreenshotProgram(argc, argv, [](const QDir& output) {
        QDir().mkpath(output.path());

        TempAppFolder folder;
        if (!QFileInfo::exists(QStringLiteral(APP_FOLDER_DIR "/背景画像/1.jpg"))) {
            std::fprintf(stderr,
                         "note: no pictures in %s yet; the windows are drawn without them\n",
                         APP_FOLDER_DIR);
        }
        copyPictures(QStringLiteral(APP_FOLDER_DIR), folder.path());
        writeServerSettings(folder.path(),
                            {QStringLiteral("127.0.0.1:2525"), QStringLiteral("127.0.0.1:1110"),
                             QStringLiteral("taro@example.jp"), 0});
        writeColourSettings(folder.path(), {255, 236, 210});

        ScriptedDesktop desktop;
        FakeClock clock;
        QuillpostApp app(folder.path(), desktop, clock);
        MainForm& main = app.mainForm();
        main.show();
        main.Label2->setText(QStringLiteral("3通の新着メールが届いています。POP3を切断しました。"));
        main.Command3_MouseMove();
        bool written = saveScreenshot(main, output, QStringLiteral("quillpost_main.png"));

        OptionForm& options = app.optionForm();
        options.show();
        written =
            saveScreenshot(options, output, QStringLiteral("quillpost_options.png")) && written;

        BackColorForm& colours = app.backColorForm();
        colours.show();
        written =
            saveScreenshot(colours, output, QStringLiteral("quillpost_colour.png")) && written;
        return written;
    });
}
