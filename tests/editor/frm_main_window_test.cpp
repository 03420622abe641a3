#include <QAbstractTextDocumentLayout>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <QTextLayout>

#include "editor_fixture.h"
#include "fixed_wrap_edit.h"
#include "units.h"

namespace {

using NotepaneWindow = EditorTest;

// Pictures of the given size in one colour, saved as PNG under a .gif name.
void writePicture(const QString& path, int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(path, "PNG"));
}

TEST_F(NotepaneWindow, PlainGothicTwelvePointWrapsAt8400TwipsBelowTheToolRowAtAnyWidth) {
    EXPECT_EQ(window().rtfEd->font().pointSize(), 12);
    EXPECT_TRUE(QFontInfo(window().rtfEd->font()).family().startsWith(QStringLiteral("IPA")));
    for (const QSize size : {QSize(300, 400), QSize(1200, 700), QSize(800, 600)}) {
        window().resize(size);
        setText(QStringLiteral("長い行").repeated(200));
        EXPECT_EQ(pixelsToTwips(window().rtfEd->lineWrapColumnOrWidth()), 8400);
        // The lines really break there: the first is as long as fits, the second goes on.
        const QTextBlock block = window().rtfEd->document()->firstBlock();
        window().rtfEd->document()->documentLayout()->blockBoundingRect(block);
        ASSERT_GT(block.layout()->lineCount(), 1);
        EXPECT_LE(block.layout()->lineAt(0).naturalTextWidth(), twipsToPixels(8400));
        EXPECT_GT(block.layout()->lineAt(0).naturalTextWidth(), twipsToPixels(8400) - 20);
        const QSize client = window().centralWidget()->size();
        EXPECT_EQ(window().rtfEd->geometry(), QRect(0, 40, client.width(), client.height() - 40));
    }
    // Too low a client area keeps the last layout.
    const QRect before = window().rtfEd->geometry();
    window().resize(800, window().height() - window().centralWidget()->height() + 20);
    EXPECT_EQ(window().rtfEd->geometry().top(), before.top());
    EXPECT_EQ(window().rtfEd->lineWrapColumnOrWidth(), twipsToPixels(8400));
}

using NotepaneAnimation = EditorTest;

TEST_F(NotepaneAnimation, ComposesBackgroundMaskAndStripAndCyclesSixFrames) {
    writePicture(folder.file(QStringLiteral("back.gif")), 97, 138, 0x102030);
    writePicture(folder.file(QStringLiteral("mask.gif")), 420, 80, 0x0f0f01);
    writePicture(folder.file(QStringLiteral("animation.gif")), 420, 80, 0x3c3cf0);
    openWindow();
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
