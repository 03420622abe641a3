#include <QAction>
#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTextEdit>
#include <QToolBar>

#include "editor_fixture.h"
#include "units.h"

namespace {

using NotepaneWindow = EditorTest;

QStringList actionTexts(const QList<QAction*>& actions, bool byName) {
    QStringList texts;
    for (const QAction* action : actions) {
        texts.append(action->isSeparator() ? QStringLiteral("|")
                     : byName              ? action->objectName() + u' ' + action->toolTip()
                                           : action->text());
    }
    return texts;
}

TEST_F(NotepaneWindow, HasTheToolRowMenusAndAGothicTwelvePointPlainTextEditor) {
    EXPECT_EQ(window().windowTitle(), QStringLiteral("Notepane"));
    EXPECT_EQ(actionTexts(window().tbToolBar->actions(), true).join(u','),
              QStringLiteral("New 新規作成,Open 開く,Save 保存,|,Print 印刷,|,Cut 切り取り,"
                             "Copy ｺﾋﾟｰ,Paste 貼り付け,|,Bold 太字,Italic 斜体,Underline 下線,|"));
    EXPECT_EQ(window().Command2->text(), QStringLiteral("貼り付け"));
    EXPECT_EQ(window().Label1->text(), QStringLiteral("検索文字"));
    EXPECT_EQ(actionTexts(window().mnuFile->actions(), false).join(u','),
              QStringLiteral("|,開く,|,上書き,名前を付けて保存,|,印刷,|,終了"));
    EXPECT_EQ(actionTexts(window().mnuEdit->actions(), false).join(u','),
              QStringLiteral("元に戻す,|,切り取り,コピー,貼付け,|,全て選択,|,文頭へジャンプ,"
                             "文末へジャンプ,|,検索,次を検索"));
    EXPECT_FALSE(window().lstLst->isVisible());
    EXPECT_FALSE(window().rtfEd->acceptRichText());
    EXPECT_EQ(window().rtfEd->font().pointSize(), 12);
    EXPECT_TRUE(QFontInfo(window().rtfEd->font()).family().startsWith(QStringLiteral("IPA")));
}

TEST_F(NotepaneWindow, WrapsAtEightyFourHundredTwipsBelowTheToolRowWhateverTheWidth) {
    for (const QSize size : {QSize(300, 400), QSize(1200, 700), QSize(800, 600)}) {
        window().resize(size);
        setText(QStringLiteral("長い行").repeated(200));
        EXPECT_EQ(window().rtfEd->lineWrapMode(), QTextEdit::FixedPixelWidth);
        EXPECT_EQ(pixelsToTwips(window().rtfEd->lineWrapColumnOrWidth()), 8400);
        const QSize client = window().centralWidget()->size();
        EXPECT_EQ(window().rtfEd->geometry(), QRect(0, 40, client.width(), client.height() - 40));
    }
    // Too low a client area keeps the last layout.
    const QRect before = window().rtfEd->geometry();
    window().resize(800, window().height() - window().centralWidget()->height() + 20);
    EXPECT_EQ(window().rtfEd->geometry().top(), before.top());
    EXPECT_EQ(window().rtfEd->lineWrapColumnOrWidth(), twipsToPixels(8400));
}

class NotepaneAnimation : public EditorTest {
  protected:
    void layOutPictures() {
        writePicture(folder.file(QStringLiteral("back.gif")), 97, 138, 0x102030);
        writePicture(folder.file(QStringLiteral("mask.gif")), 420, 80, 0x0f0f01);
        writePicture(folder.file(QStringLiteral("animation.gif")), 420, 80, 0x3c3cf0);
        openWindow();
    }
};

TEST_F(NotepaneAnimation, ComposesBackgroundMaskAndStripAndCyclesSixFrames) {
    layOutPictures();
    QList<int> columns;
    for (int i = 0; i < 7; ++i) {
        columns.append(window().animationColumn);
        window().Timer1_Timer();
    }
    EXPECT_EQ(columns, (QList<int>{0, 70, 140, 210, 280, 350, 0}));
    const QImage shown = window().Picture3->pixmap().toImage();
    ASSERT_EQ(shown.size(), window().Picture3->size());
    EXPECT_EQ(shown.pixel(5, 5) & 0xffffff, 0x102030u);
    // (0x102030 | 0x0f0f01) & 0x3c3cf0
    EXPECT_EQ(shown.pixel(5, 20) & 0xffffff, 0x1c2c30u);
}

TEST_F(NotepaneAnimation, AMissingPictureLeavesItBlankWithoutAMessage) {
    writePicture(folder.file(QStringLiteral("back.gif")), 97, 138, 0x102030);
    openWindow();
    window().Timer1_Timer();
    const QImage shown = window().Picture3->pixmap().toImage();
    EXPECT_EQ(shown.pixel(5, 5), shown.pixel(5, 20));
    EXPECT_NE(shown.pixel(5, 5) & 0xffffff, 0x102030u);
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST_F(NotepaneAnimation, DroppedOnTheEditorThePictureLandsWhereItWasLetGo) {
    window().dragOffset = QPoint(5, 7);
    window().rtfEd_DragDrop(window().Picture3, QPoint(100, 50));
    EXPECT_EQ(window().Picture3->pos(), window().rtfEd->pos() + QPoint(95, 43));
    window().rtfEd_DragDrop(window().Command2, QPoint(10, 10));
    EXPECT_EQ(window().Picture3->pos(), window().rtfEd->pos() + QPoint(95, 43));
}

}  // namespace
