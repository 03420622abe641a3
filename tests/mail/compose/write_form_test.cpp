#include <gtest/gtest.h>

#include <QTest>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <functional>
#include <memory>

#include "app/quillpost_app.h"
#include "compose/write_form.h"
#include "fake_clock.h"
#include "main_window/main_form.h"
#include "quillpost_test.h"
#include "scripted_desktop.h"
#include "store/mail_records.h"
#include "temp_app_folder.h"
#include "units.h"

namespace {

const QColor kWhite(255, 255, 255);

class WriteFormTest : public QuillpostTest {
  protected:
    void SetUp() override {
        QuillpostTest::SetUp();
        app->mainForm();
    }

    WriteForm& form() { return app->writeForm(); }

    void addEntry(const QString& name, const QString& address) {
        ASSERT_TRUE(addressStore(folder.path()).Append({name, 1, address}));
    }
};

// The list names who is in the book when the window comes back, not who was there when it
// was first opened.
TEST_F(WriteFormTest, TheAddressListIsRelistedWhenTheWindowIsShownAgain) {
    addEntry(QStringLiteral("太郎"), QStringLiteral("taro@example.jp"));
    form().show();
    ASSERT_EQ(form().List1->count(), 1);
    form().hide();
    addEntry(QStringLiteral("花子"), QStringLiteral("hanako@example.jp"));
    QTest::mouseClick(app->mainForm().Command4, Qt::LeftButton);
    EXPECT_EQ(form().List1->count(), 2);
    EXPECT_EQ(form().Text1->text(), QStringLiteral("2"));
}

TEST_F(WriteFormTest, OpensNarrowWithTemplatesAndEverythingOff) {
    QDir(folder.path()).mkpath(QStringLiteral("ico2"));
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    picture.save(folder.file(QStringLiteral("ico2/1.gif")), "PNG");
    app->writeForm().Unload();
    settle();

    WriteForm& w = form();
    EXPECT_EQ(w.frameGeometry().width(), twipsToPixels(6855));
    EXPECT_FALSE(w.Option2->isChecked());
    EXPECT_TRUE(w.Text14->isHidden());
    EXPECT_FALSE(w.Command9->isEnabled());
    EXPECT_TRUE(w.List2->isHidden());
    EXPECT_FALSE(w.Check1->isChecked());
    EXPECT_TRUE(w.Image1->picturePath().endsWith(QStringLiteral("ico2/1.gif")));
    EXPECT_TRUE(w.Image2->picturePath().isEmpty());
    EXPECT_EQ(w.Combo1->count(), 8);
    EXPECT_EQ(w.Text1->text(), QStringLiteral("0"));
    EXPECT_EQ(w.RowToRecord, QList<qint16>{0});
}

TEST_F(WriteFormTest, ALongRecipientWrapsInsteadOfHidingBehindASidewaysBar) {
    form().show();
    QTest::keyClicks(form().ToText, QString(60, u'x'));
    settle();
    EXPECT_EQ(form().ToText->Text(), QString(60, u'x'));
    EXPECT_FALSE(form().ToText->horizontalScrollBar()->isVisible());
}

// A visit to the template box, with real keys and clicks, and the body it should leave.
TEST_F(WriteFormTest, OnlyATemplateChosenOnThisVisitReplacesTheBody) {
    const QString typed = QStringLiteral("書きかけ");
    const auto key = [](Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), k, modifiers);
    };
    const struct {
        const char* visit;
        std::function<void(WriteForm&)> act;
        QString body;
    } cases[] = {
        {"Tab in and out",
         [&](WriteForm&) {
             key(Qt::Key_Tab);
             key(Qt::Key_Tab);
         },
         typed},
        {"Tab in, Shift+Tab out",
         [&](WriteForm&) {
             key(Qt::Key_Tab);
             key(Qt::Key_Tab, Qt::ShiftModifier);
         },
         typed},
        {"a click in, a click on the body",
         [](WriteForm& w) {
             QTest::mouseClick(w.Combo1->lineEdit(), Qt::LeftButton);
             QTest::mouseClick(w.BodyText->viewport(), Qt::LeftButton);
         },
         typed},
        {"the first template picked with Down",
         [&](WriteForm&) {
             key(Qt::Key_Tab);
             key(Qt::Key_Down);
             key(Qt::Key_Tab);
         },
         QStringLiteral("御社益々ご清祥の事とお慶び申し上げます。")},
        {"a greeting typed through the input method",
         [&](WriteForm& w) {
             key(Qt::Key_Tab);
             QInputMethodEvent commit;
             commit.setCommitString(QStringLiteral("拝啓"));
             QApplication::sendEvent(w.Combo1, &commit);
             key(Qt::Key_Tab, Qt::ShiftModifier);
         },
         QStringLiteral("拝啓")},
    };
    WriteForm& w = form();
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.visit);
        w.Combo1->setCurrentIndex(-1);
        w.BodyText->SetText(typed);
        // 首記例 comes after the body in the Tab order.
        w.BodyText->setFocus();
        QCoreApplication::processEvents();
        c.act(w);
        QCoreApplication::processEvents();
        ASSERT_FALSE(w.Combo1->hasFocus());
        EXPECT_EQ(w.BodyText->Text(), c.body);
        QTest::keyClick(w.BodyText, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(w.BodyText->Text(), typed) << "undo brings the typed body back";
    }
}

TEST_F(WriteFormTest, OnlyMovingToAnotherControlTakesTheTemplate) {
    WriteForm& w = form();
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.BodyText->SetText(QStringLiteral("書きかけ"));
    w.Combo1->setFocus();
    QCoreApplication::processEvents();
    ASSERT_TRUE(w.Combo1->hasFocus());

    // Opening the drop-down list.
    w.Combo1->showPopup();
    QCoreApplication::processEvents();
    w.Combo1->hidePopup();
    QCoreApplication::processEvents();
    EXPECT_EQ(w.BodyText->Text(), QStringLiteral("書きかけ"));

    // Another window (a message box) taking the focus, then giving it back.
    QLineEdit other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    other.setFocus();
    QCoreApplication::processEvents();
    other.close();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.Combo1->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(w.BodyText->Text(), QStringLiteral("書きかけ"));

    // The window hidden, as a send hands back to the main window.
    w.Combo1->setEditText(QStringLiteral("拝啓"));
    w.hide();
    QCoreApplication::processEvents();
    EXPECT_EQ(w.BodyText->Text(), QStringLiteral("書きかけ"));
}

TEST_F(WriteFormTest, AddressPanelListsTheBookAndPicksATrimmedRecipient) {
    addEntry(QStringLiteral("山田　太郎"), QStringLiteral("taro@example.jp"));
    addEntry(QStringLiteral("鈴木"), QStringLiteral("  ") + QString(70, u'x'));
    WriteForm& w = form();
    w.Command3_Click();
    EXPECT_EQ(w.frameGeometry().width(), twipsToPixels(9420));
    ASSERT_EQ(w.List1->count(), 2);
    EXPECT_EQ(w.List1->item(0)->text().size(), 90 - 10 + 5) << "the name field keeps its padding";
    EXPECT_TRUE(w.List1->item(0)->text().startsWith(QStringLiteral("山田　太郎  ")));
    EXPECT_EQ(w.Text1->text(), QStringLiteral("2"));
    EXPECT_EQ((w.RowToRecord), (QList<qint16>{1, 2, 0}));

    w.List1->setCurrentRow(0);
    w.List1_MouseDown();
    EXPECT_EQ(w.ToText->Text(), QStringLiteral("taro@example.jp"));
    w.List1->setCurrentRow(1);
    w.List1_MouseDown();
    EXPECT_EQ(w.ToText->Text(), QString(58, u'x')) << "60 characters, then trimmed";

    // A real press on the first row picks it.
    w.show();
    QCoreApplication::processEvents();
    const QPoint row0 = w.List1->visualItemRect(w.List1->item(0)).center();
    QMouseEvent press(QEvent::MouseButtonPress, row0, w.List1->viewport()->mapToGlobal(row0),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.List1->viewport(), &press);
    EXPECT_EQ(w.ToText->Text(), QStringLiteral("taro@example.jp"));
    EXPECT_TRUE(desktop.messages.isEmpty());

    w.Command5_Click();
    EXPECT_EQ(w.frameGeometry().width(), twipsToPixels(6855));
}

TEST_F(WriteFormTest, PressingTheListWithoutASelectionWarns) {
    addEntry(QStringLiteral("山田"), QStringLiteral("taro@example.jp"));
    form().Command3_Click();
    form().ToText->SetText(QStringLiteral("before@example.jp"));
    form().List1_MouseDown();
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].text, QStringLiteral("データが選択されていません"));
    EXPECT_EQ(desktop.messages[0].icon, Desktop::Icon::Exclamation);
    EXPECT_EQ(form().ToText->Text(), QStringLiteral("before@example.jp"));
}

TEST_F(WriteFormTest, AttachmentButtonsFollowTheirEnabledRules) {
    WriteForm& w = form();
    desktop.fileNames = {QString()};
    w.AttachCommand_Click();
    EXPECT_FALSE(w.AttachCommand->isEnabled()) << "disabled even when cancelled";
    EXPECT_TRUE(w.Command9->isEnabled());
    w.Command9_Click();
    EXPECT_FALSE(w.List2->isHidden());
    EXPECT_EQ(desktop.fileDialogs.size(), 1) << "no dialog while nothing is attached";

    w.Command10_Click();
    EXPECT_TRUE(w.AttachCommand->isEnabled());
    EXPECT_FALSE(w.Command9->isEnabled());
    EXPECT_FALSE(w.Command10->isEnabled());
    EXPECT_TRUE(w.List2->isHidden());

    const QString a = folder.file(QStringLiteral("見積書.txt"));
    const QString b = folder.file(QStringLiteral("photo.jpg"));
    const QString c = folder.file(QStringLiteral("data file.bin"));
    desktop.fileNames = {a, b, c};
    w.AttachCommand_Click();
    w.Command9_Click();
    w.Command9_Click();
    EXPECT_EQ(w.AttachText->text(), QDir::toNativeSeparators(a + u',' + b + u',' + c));
    EXPECT_EQ(w.List2->count(), 3);

    w.Command6_Click();
    EXPECT_TRUE(w.AttachText->text().isEmpty());
    EXPECT_EQ(w.List2->count(), 0);
    EXPECT_TRUE(w.AttachCommand->isEnabled());
    EXPECT_FALSE(w.Command10->isEnabled()) << "nothing enables it again until a new load";
}

TEST_F(WriteFormTest, BulkSendingTurnsTheFortuneOffForGood) {
    WriteForm& w = form();
    w.Check1->setChecked(true);
    w.Option2->click();
    EXPECT_TRUE(w.Option2->isChecked());
    EXPECT_FALSE(w.Check1->isChecked());
    EXPECT_FALSE(w.Check1->isEnabled());
    EXPECT_EQ(w.List1->palette().color(QPalette::Base), QColor(0, 128, 0));
    EXPECT_EQ(w.Label6->text(), QStringLiteral("一括送信が選択されています。"));
    EXPECT_EQ(w.Label6->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    w.ToText->SetText(QStringLiteral("taro@example.jp"));
    w.Option1->click();
    EXPECT_TRUE(w.ToText->Text().isEmpty());
    EXPECT_EQ(w.List1->palette().color(QPalette::Base), kWhite);
    EXPECT_TRUE(w.Label6->text().isEmpty());
    EXPECT_FALSE(w.Check1->isEnabled());

    w.Option2->click();
    w.SubjectText->setText(QStringLiteral("件名"));
    w.Command6_Click();
    EXPECT_FALSE(w.Option2->isChecked());
    EXPECT_FALSE(w.Option1->isChecked());
    EXPECT_TRUE(w.SubjectText->text().isEmpty());
    EXPECT_TRUE(w.Label6->text().isEmpty());
    EXPECT_FALSE(w.Check1->isEnabled()) << "clearing leaves the box's enabled state alone";
}

TEST_F(WriteFormTest, TheUserTypesAtMostSixtyCharactersAsRecipient) {
    WriteForm& w = form();
    w.show();
    for (int i = 0; i < 65; ++i) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(w.ToText, &key);
    }
    EXPECT_EQ(w.ToText->Text(), QString(60, u'a'));

    w.ToText->SetText(QString(50, u'b'));
    w.ToText->moveCursor(QTextCursor::End);
    QInputMethodEvent typed;
    typed.setCommitString(QStringLiteral("あいうえおかきくけこさしす"));
    QApplication::sendEvent(w.ToText, &typed);
    EXPECT_EQ(w.ToText->Text(), QString(50, u'b') + QStringLiteral("あいうえおかきくけこ"));

    w.ToText->SetText(QStringLiteral("x@"));
    w.ToText->moveCursor(QTextCursor::End);
    QGuiApplication::clipboard()->setText(QString(70, u'c'));
    w.ToText->paste();
    EXPECT_EQ(w.ToText->Text(), QStringLiteral("x@") + QString(58, u'c'));
    w.Command11_Click();
    EXPECT_EQ(w.ToText->Text(), QString(70, u'c')) << "the program's own paste is not cut";
}

TEST_F(WriteFormTest, HelpBoxFollowsThePointer) {
    WriteForm& w = form();
    w.show();
    w.Command6->setEnabled(true);
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), w.Command6->mapToGlobal(QPointF(5, 5)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w.Command6, &move);
    EXPECT_TRUE(w.Text14->isVisible());
    EXPECT_EQ(w.Text14->Text(), QStringLiteral("宛先、件名、本文他、設定等が初期状態に戻せます。"));

    w.Image1_MouseMove();
    EXPECT_EQ(
        w.Text14->Text(),
        QStringLiteral(
            "送信します。電話回線が接続されていない場合は、自動的に接続してメールを送信します。"));
    QApplication::sendEvent(w.BodyText->viewport(), &move);
    EXPECT_FALSE(w.Text14->isVisible());

    w.Command5_MouseMove();
    w.ButtonBar_MouseMove();
    EXPECT_FALSE(w.Text14->isVisible());
}

TEST_F(WriteFormTest, ClosingHandsBackToTheMainWindowAndDiscardsTheMail) {
    WriteForm* w = &form();
    w->show();
    w->move(40, 50);
    w->SubjectText->setText(QStringLiteral("件名"));
    w->Command3_Click();
    w->Option2->click();
    MainForm& main = app->mainForm();
    main.hide();
    w->Image2_Click();
    EXPECT_EQ(w->frameGeometry().width(), twipsToPixels(6855));
    EXPECT_FALSE(w->Option2->isChecked());
    EXPECT_EQ(w->List1->palette().color(QPalette::Base), kWhite);
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(main.pos(), w->pos());
    settle();
    EXPECT_FALSE(app->isLoaded(w));
    EXPECT_TRUE(form().SubjectText->text().isEmpty());
}

TEST_F(WriteFormTest, TheAddressPanelButtonsChangeTheWidthOnly) {
    WriteForm& w = form();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.resize(w.width(), 300);
    const int outerHeight = w.frameGeometry().height();
    w.Command3_Click();
    EXPECT_EQ(w.frameGeometry().size(), QSize(twipsToPixels(WriteForm::kWideWidth), outerHeight));
    w.Command5_Click();
    EXPECT_EQ(w.frameGeometry().size(), QSize(twipsToPixels(WriteForm::kNarrowWidth), outerHeight));
}

TEST_F(WriteFormTest, CtrlReturnSendsAndAPlainReturnStaysALineEnd) {
    WriteForm& w = form();
    EXPECT_TRUE(w.Image1->toolTip().contains(QStringLiteral("Ctrl+Return")));
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.BodyText->setFocus();
    QTest::keyClick(w.BodyText, Qt::Key_Return);
    EXPECT_EQ(w.BodyText->Text(), QStringLiteral("\r\n"));
    EXPECT_EQ(sentMailStore(folder.path()).RecordCount(), 0);

    EXPECT_TRUE(desktop.messages.isEmpty());

    // No server is set: the box that says so is what tells that a send started.
    QTest::keyClick(w.BodyText, Qt::Key_Return, Qt::ControlModifier);
    settle();
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("送信エラー"));
}

TEST(OuterSize, TheFrameIsTakenFromTheClientArea) {
    EXPECT_EQ(clientSizeForOuter(QSize(457, 554), QMargins(4, 30, 4, 4)), QSize(449, 520));
    EXPECT_EQ(clientSizeForOuter(QSize(457, 554), QMargins()), QSize(457, 554));
    EXPECT_EQ(clientSizeForOuter(QSize(5, 5), QMargins(4, 30, 4, 4)), QSize(0, 0));
}

}  // namespace
