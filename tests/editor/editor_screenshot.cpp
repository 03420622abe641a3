// Draws Notepane holding a received Japanese mail, as the user sees it after pasting, and
// saves it as <folder>/notepane.png.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "app_folder.h"
#include "frm_main.h"
#include "screenshot.h"
#include "scripted_desktop.h"

namespace {

// Stand-ins for the installed pictures: a sky background and a bouncing ball strip.
void drawPictures(const QString& folder) {
    QImage back(97, 138, QImage::Format_RGB32);
    back.fill(QColor(200, 225, 250));
    back.save(appPath(folder, u"\\back.gif"), "PNG");
    QImage mask(420, 80, QImage::Format_RGB32);
    QImage strip(420, 80, QImage::Format_RGB32);
    mask.fill(Qt::black);
    strip.fill(Qt::white);
    QPainter maskPainter(&mask);
    QPainter stripPainter(&strip);
    maskPainter.setBrush(Qt::white);
    stripPainter.setBrush(QColor(230, 80, 60));
    for (int frame = 0; frame < 6; ++frame) {
        const QRect ball(frame * 70 + 15, 10 + frame * 6, 40, 40);
        maskPainter.drawEllipse(ball);
        stripPainter.drawEllipse(ball);
    }
    maskPainter.end();
    stripPainter.end();
    mask.save(appPath(folder, u"\\mask.gif"), "PNG");
    strip.save(appPath(folder, u"\\animation.gif"), "PNG");
}

}  // namespace

int main(int argc, char** argv) {
    return runScreenshotProgram(argc, argv, [](const QDir& output) {
        QTemporaryDir folder;
        drawPictures(folder.path());
        ScriptedDesktop desktop;
        frmMain window(folder.path(), desktop);
        window.resize(900, 600);
        window.show();
        QApplication::clipboard()->setText(QStringLiteral(
            "件名: 来週の打ち合わせについて\r\n"
            "差出人: 山田 花子 <hanako@example.jp>\r\n"
            "日付: Tue, 8 Dec 2026 10:00:00 +0900\r\n"
            "\r\n"
            "佐藤様\r\n"
            "\r\n"
            "いつもお世話になっております。㈱サンプル商事の山田です。\r\n"
            "来週の打ち合わせですが、①水曜日の午後二時から、②会議室Ｂにて行いたいと存じます。"
            "ご都合のほどをお知らせいただけますと幸いです。資料は前日までにメールでお送りします。\r"
            "\n"
            "\r\n"
            "ｶﾀｶﾅの半角表記もそのまま表示されます。\r\n"
            "\r\n"
            "よろしくお願いいたします。\r\n"));
        window.Command2_Click();
        window.mnuJumpTop_Click();
        window.Timer1_Timer();
        return saveScreenshot(window, output, QStringLiteral("notepane.png"));
    });
}
