#include <QClipboard>
#include <QFileInfo>

#include "history_fixture.h"
#include "main_window/main_form.h"

namespace {

TEST_F(HistoryTest, ReceivedHistoryListsRecordsInFileOrderAndShowsTheLast) {
    storeReceived({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    app->mainForm().Image3->show();
    QApplication::clipboard()->setText(QStringLiteral("before"));
    TyakuForm& form = open(1);

    EXPECT_EQ(rowTexts(form, 0), QStringList({QStringLiteral("件名A"), QStringLiteral("件名B"),
                                              QStringLiteral("件名C")}));
    EXPECT_EQ(rowTexts(form, 1)[1], QStringLiteral("B <b@example.jp>"));
    EXPECT_EQ(rowTexts(form, 2)[2], QStringLiteral("2026/12/08 C"));
    EXPECT_EQ(form.Text7->text(), QStringLiteral("3"));
    EXPECT_EQ(form.Text8->text(), QStringLiteral("件名C"));
    EXPECT_EQ(form.Text9->text(), QStringLiteral("C <c@example.jp>"));
    EXPECT_EQ(form.Text15->Text(), QStringLiteral("本文C\r\n二行目"));
    EXPECT_TRUE(form.Text5->text().isEmpty());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("本文C\r\n二行目"));
    EXPECT_TRUE(form.Text14->isHidden());
    EXPECT_TRUE(app->mainForm().Image3->isHidden());
    EXPECT_TRUE(app->mainForm().Image2->isHidden());
    EXPECT_EQ(QFileInfo(form.Image1->picturePath()).fileName(), QStringLiteral("1.gif"));
}

TEST_F(HistoryTest, MissingPicturesAndFileGiveAnEmptyWindow) {
    QDir(folder.file(QStringLiteral("data"))).removeRecursively();
    TyakuForm& form = open(1);
    EXPECT_TRUE(form.Image9->picturePath().isEmpty());
    EXPECT_EQ(form.MailListView->topLevelItemCount(), 0);
    EXPECT_EQ(form.Text7->text(), QStringLiteral("0"));

    form.MailListView_Click();
    EXPECT_EQ(desktop.messageTexts(), QStringList{QStringLiteral("選択するデータがありません")});
}

TEST_F(HistoryTest, ClickShowsTheRecordOfTheRowAndKeepsItInTheBuffer) {
    // Out of alphabetical order: row k must stay record k.
    storeReceived({QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("B")});
    TyakuForm& form = open(1);
    EXPECT_EQ(rowTexts(form, 0)[0], QStringLiteral("件名C"));
    click(form, 2);
    EXPECT_EQ(form.Text8->text(), QStringLiteral("件名A"));
    EXPECT_EQ(form.Text9->text(), QStringLiteral("A <a@example.jp>"));
    EXPECT_EQ(form.Text5->text(), QStringLiteral("A <a@example.jp>"));
    EXPECT_EQ(form.Text10->text(), QStringLiteral("2026/12/08 A"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("本文A\r\n二行目"));
    EXPECT_EQ(app->ReceivedBuffer.Subject.trimmed(), QStringLiteral("件名A"));
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST_F(HistoryTest, SentHistoryShowsRecipientAndSendingTime) {
    storeSent({QStringLiteral("1"), QStringLiteral("2")});
    TyakuForm& form = open(2);
    EXPECT_EQ(rowTexts(form, 1),
              QStringList({QStringLiteral("1@example.jp"), QStringLiteral("2@example.jp")}));
    EXPECT_EQ(rowTexts(form, 2)[0], QStringLiteral("2026/12/08  10:01"));
    click(form, 1);
    EXPECT_EQ(form.Text9->text(), QStringLiteral("1@example.jp"));
    EXPECT_EQ(form.Text5->text(), QStringLiteral("1@example.jp"));
    EXPECT_EQ(form.Text15->Text(), QStringLiteral("送った本文1"));
    EXPECT_EQ(form.Text7->text(), QStringLiteral("2"));
}

TEST_F(HistoryTest, ClickWithoutARowOrInAnEmptySentHistoryChangesNothing) {
    TyakuForm& form = open(2);
    form.MailListView_Click();
    storeReceived({QStringLiteral("A")});
    app->HistoryMode = 1;
    form.Fill();
    form.MailListView->clearSelection();
    form.MailListView_Click();
    EXPECT_TRUE(desktop.messages.isEmpty());
    EXPECT_TRUE(form.Text5->text().isEmpty());
}

TEST_F(HistoryTest, RefillShowsTheOtherModeAndModeZeroFillsNothing) {
    storeReceived({QStringLiteral("A")});
    storeSent({QStringLiteral("1"), QStringLiteral("2")});
    TyakuForm& form = open(0);
    EXPECT_EQ(form.MailListView->topLevelItemCount(), 0);
    app->HistoryMode = 2;
    form.Fill();
    EXPECT_EQ(form.MailListView->topLevelItemCount(), 2);
    app->HistoryMode = 1;
    form.Fill();
    EXPECT_EQ(rowTexts(form, 0), QStringList{QStringLiteral("件名A")});
}

TEST_F(HistoryTest, NulCutsListCellsAndTheShownBody) {
    ReceivedMailRecord record = received(QStringLiteral("A"));
    record.Subject = QStringLiteral("abcXdef");
    record.Body = QStringLiteral("前半Xafter");
    QByteArray bytes = record.toBytes();
    bytes[3] = '\0';
    bytes[ReceivedMailRecord::BodyField.offset + 4] = '\0';
    folder.write(QStringLiteral("★MailData/qsmdata2.data"), bytes);

    TyakuForm& form = open(1);
    EXPECT_EQ(rowTexts(form, 0), QStringList{QStringLiteral("abc")});
    EXPECT_EQ(form.Text15->Text(), QStringLiteral("前半"));
    click(form, 1);
    EXPECT_EQ(form.Text8->text(), QStringLiteral("abc") + QChar(0) + QStringLiteral("def"));
    EXPECT_EQ(form.Text15->Text(), QStringLiteral("前半"));
}

TEST_F(HistoryTest, TrailingPartialRecordIsNotListed) {
    storeReceived({QStringLiteral("A"), QStringLiteral("B")});
    folder.write(QStringLiteral("★MailData/qsmdata2.data"),
                 receivedFile() + received(QStringLiteral("C")).toBytes().left(300));
    TyakuForm& form = open(1);
    EXPECT_EQ(rowTexts(form, 0), QStringList({QStringLiteral("件名A"), QStringLiteral("件名B")}));
    EXPECT_EQ(form.Text8->text(), QStringLiteral("件名B"));
}

TEST_F(HistoryTest, LongSubjectIsShownWhole) {
    ReceivedMailRecord record = received(QStringLiteral("A"));
    record.Subject = QString(100, u'x');
    receivedMailStore(folder.path()).Append(record);
    EXPECT_EQ(open(1).Text8->text().size(), 100);
}

TEST_F(HistoryTest, LayoutFollowsTheWidthAndKeepsTheBodyHeightNonNegative) {
    TyakuForm& form = open(1);
    form.resize(400, 700);
    form.Form_Resize();
    const int text8 = form.Text8->width();
    const int text9 = form.Text9->width();
    const int text10 = form.Text10->width();
    form.resize(800, 700);
    form.Form_Resize();
    EXPECT_NEAR(form.Text8->width(), 2 * text8, 1);
    EXPECT_NEAR(form.Text9->width(), 2 * text9, 1);
    EXPECT_NEAR(form.Text10->width(), 2 * text10, 1);
    EXPECT_EQ(form.Text9->x(), form.Text8->x() + form.Text8->width());
    EXPECT_EQ(form.Text10->x(), form.Text9->x() + form.Text9->width());
    EXPECT_EQ(form.MailListView->width(), 792);
    EXPECT_LE(form.Text15->geometry().bottom(), 700);

    form.resize(300, 120);
    form.Form_Resize();
    EXPECT_EQ(form.Text15->height(), 0);
}

TEST_F(HistoryTest, HoverHelpShowsOverButtonsAndHidesOverTheBarAndBody) {
    TyakuForm& form = open(1);
    form.Image1_MouseMove();
    EXPECT_TRUE(form.Text14->isVisibleTo(&form));
    EXPECT_EQ(
        form.Text14->Text(),
        QStringLiteral("削除したいデータをリストから選択し、削除のキャラをクリックして下さい。"
                       "確認メッセージの後、削除できます。"));
    form.Picture7_MouseMove();
    EXPECT_FALSE(form.Text14->isVisibleTo(&form));
    form.Image9_MouseMove();
    form.Text15_MouseMove();
    EXPECT_FALSE(form.Text14->isVisibleTo(&form));
}

}  // namespace
