#include <QClipboard>
#include <QTest>

#include "history_fixture.h"

namespace {

// A record marked deleted by a delete that a crash cut short.
void markDeletedOnDisk(const QString& folder, qint16 n) {
    ReceivedMailStore store = receivedMailStore(folder);
    ReceivedMailRecord record = *store.ReadAt(n);
    ASSERT_TRUE(store.MarkDeleted(n, record));
}

TEST_F(HistoryTest, AnInterruptedDeleteIsFinishedAndNeverListed) {
    storeReceived({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    markDeletedOnDisk(folder.path(), 2);
    TyakuForm& form = open(1);
    EXPECT_EQ(rowTexts(form, 0), QStringList({QStringLiteral("件名A"), QStringLiteral("件名C")}));
    EXPECT_EQ(receivedMailStore(folder.path()).RecordCount(), 2);
    click(form, 2);
    EXPECT_EQ(form.Text8->text(), QStringLiteral("件名C"));
}

TEST_F(HistoryTest, AMarkedRecordThatCannotBeCompactedIsSkippedAndRowsKeepTheirRecords) {
    storeReceived({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    markDeletedOnDisk(folder.path(), 2);
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("★MailData/QSMDATA2.TMP")));
    TyakuForm& form = open(1);
    EXPECT_EQ(rowTexts(form, 0), QStringList({QStringLiteral("件名A"), QStringLiteral("件名C")}));
    click(form, 2);
    EXPECT_EQ(form.Text8->text(), QStringLiteral("件名C"));
}

TEST_F(HistoryTest, AMarkedLastRecordBeforeAShortPartialOneIsFinished) {
    storeReceived({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    markDeletedOnDisk(folder.path(), 3);
    // Shorter than the listed fields of a record.
    folder.write(QStringLiteral("★MailData/qsmdata2.data"),
                 receivedFile() + received(QStringLiteral("D")).toBytes().left(100));
    TyakuForm& form = open(1);
    EXPECT_EQ(rowTexts(form, 0), QStringList({QStringLiteral("件名A"), QStringLiteral("件名B")}));
    EXPECT_EQ(receivedMailStore(folder.path()).RecordCount(), 2);
    EXPECT_EQ(form.Text8->text(), QStringLiteral("件名B"));
}

TEST_F(HistoryTest, ATextSetOnAListedRowTakesThePlaceOfItsCell) {
    storeReceived({QStringLiteral("A")});
    QTreeWidgetItem* row = open(1).MailListView->topLevelItem(0);
    row->setText(1, QStringLiteral("changed"));
    EXPECT_EQ(row->text(0), QStringLiteral("件名A"));
    EXPECT_EQ(row->text(1), QStringLiteral("changed"));
    row->setText(0, QString());
    EXPECT_TRUE(row->text(0).isEmpty());
}

TEST_F(HistoryTest, AFailedCompactionLeavesTheMailAsItWas) {
    storeReceived({QStringLiteral("A"), QStringLiteral("B")});
    const QByteArray before = receivedFile();
    // A folder in the way of the temporary file: the compaction cannot write it.
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("★MailData/QSMDATA2.TMP")));
    TyakuForm& form = open(1);
    click(form, 1);
    desktop.answers = {Desktop::Answer::Yes};
    form.Image1_Click();
    EXPECT_EQ(receivedFile(), before);
    EXPECT_EQ(rowTexts(form, 0), QStringList({QStringLiteral("件名A"), QStringLiteral("件名B")}));
    EXPECT_TRUE(
        desktop.messageTexts().last().startsWith(QStringLiteral("メールを削除できませんでした")));
}

TEST_F(HistoryTest, TheListLeavesTheBufferOnItsLastRecordAndARefillLeavesTheClipboard) {
    storeReceived({QStringLiteral("A"), QStringLiteral("B")});
    app->ReceivedBuffer = received(QStringLiteral("deleted"));
    TyakuForm& form = open(1);
    EXPECT_EQ(app->ReceivedBuffer.Subject.trimmed(), QStringLiteral("件名B"));
    QApplication::clipboard()->setText(QStringLiteral("mine"));
    form.RefillInBackground();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("mine"));
    EXPECT_EQ(form.Text8->text(), QStringLiteral("件名B"));
}

TEST_F(HistoryTest, AClickBelowTheRowsShowsNothing) {
    storeReceived({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    TyakuForm& form = open(1);
    form.show();
    click(form, 1);
    ASSERT_EQ(form.Text8->text(), QStringLiteral("件名A"));
    QWidget* viewport = form.MailListView->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(5, viewport->height() - 3));
    EXPECT_EQ(form.Text8->text(), QStringLiteral("件名A"));
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST_F(HistoryTest, ArrowKeysShowTheMailAsAClickDoes) {
    storeReceived({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    TyakuForm& form = open(1);
    form.show();
    click(form, 1);
    form.MailListView->setFocus();
    QTest::keyClick(form.MailListView, Qt::Key_Down);
    EXPECT_EQ(form.Text8->text(), QStringLiteral("件名B"));
    QTest::keyClick(form.MailListView, Qt::Key_End);
    EXPECT_EQ(form.Text8->text(), QStringLiteral("件名C"));
    EXPECT_EQ(app->ReceivedBuffer.Subject.trimmed(), QStringLiteral("件名C"));
}

TEST_F(HistoryTest, PictureButtonsKeepTheirHelpAndActOnARelease) {
    TyakuForm& form = open(1);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    for (ImageBox* picture : {form.Image1, form.Image9, form.Image11, form.Image10}) {
        form.Text14->hide();
        QTest::mouseMove(picture, picture->rect().center());
        EXPECT_TRUE(form.Text14->isVisibleTo(&form));
    }
    QTest::mousePress(form.Image1, Qt::LeftButton);
    EXPECT_TRUE(desktop.messages.isEmpty());
    QTest::mouseRelease(form.Image1, Qt::LeftButton);
    EXPECT_EQ(desktop.messageTexts(), QStringList{QStringLiteral("データが選択されていません")});
    // Released elsewhere: no click.
    QTest::mousePress(form.Image1, Qt::LeftButton);
    QTest::mouseRelease(form.Image1, Qt::LeftButton, {}, QPoint(-5, -5));
    EXPECT_EQ(desktop.messages.size(), 1);
}

}  // namespace
