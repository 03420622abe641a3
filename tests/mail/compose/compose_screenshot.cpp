#include <QDir>
#include <QFile>

#include "app/quillpost_app.h"
#include "compose/write_form.h"
#include "fake_clock.h"
#include "reply/back_form.h"
#include "screenshot.h"
#include "scripted_desktop.h"
#include "store/mail_records.h"
#include "temp_app_folder.h"

int main(int argc, char** argv) {
    return runScreenshotProgram(argc, argv, [](const QDir& output) {
        TempAppFolder folder;
        QDir().mkpath(folder.file(QStringLiteral("ico2")));
        for (const char* name : {"1.gif", "2.gif"}) {
            QFile::copy(QStringLiteral(PICTURE_FOLDER "/ico2/") + QLatin1String(name),
                        folder.file(QStringLiteral("ico2/") + QLatin1String(name)));
        }
        AddressStore book = addressStore(folder.path());
        book.Append({QStringLiteral("山田　太郎"), 1, QStringLiteral("taro@example.jp")});
        book.Append({QStringLiteral("鈴木　花子"), 2, QStringLiteral("hanako@example.jp")});

        ScriptedDesktop desktop;
        FakeClock clock;
        QuillpostApp app(folder.path(), desktop, clock);
        WriteForm& compose = app.writeForm();
        compose.ToText->SetText(QStringLiteral("taro@example.jp"));
        compose.SubjectText->setText(QStringLiteral("来週の打ち合わせについて"));
        compose.BodyText->SetText(QStringLiteral(
            "山田様\r\n\r\nいつもお世話になっております。\r\n来週の打ち合わせの件です。"));
        compose.Check1->setChecked(true);
        compose.Label7->setText(QStringLiteral("送信完了です。"));
        compose.Command1_MouseMove();
        bool saved = saveScreenshot(compose, output, QStringLiteral("compose_narrow.png"));
        compose.Command3_Click();
        compose.Option2->click();
        saved = saveScreenshot(compose, output, QStringLiteral("compose_wide.png")) && saved;
        compose.hide();

        BackForm& reply = app.backForm();
        reply.ToText->setText(QStringLiteral("taro@example.jp"));
        reply.SubjectText->setText(QStringLiteral("Re:  来週の打ち合わせについて"));
        reply.BodyText->SetText(
            QStringLiteral("承知しました。\r\n\r\n\r\n山田様\r\n来週の打ち合わせの件です。"));
        reply.AttachText->setText(QStringLiteral("/home/hanako/資料.pdf"));
        saved = saveScreenshot(reply, output, QStringLiteral("reply.png")) && saved;
        return saved;
    });
}
