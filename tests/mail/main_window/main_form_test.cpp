#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMouseEvent>
#include <QTest>

#include <functional>
#include <memory>

#include "app/quillpost_app.h"
#include "app_folder.h"
#include "compose/write_form.h"
#include "dialogs/back_color_form.h"
#include "dialogs/id_pass_form.h"
#include "dialogs/option_form.h"
#include "fake_clock.h"
#include "history/tyaku_form.h"
#include "main_window/main_form.h"
#include "quillpost_test.h"
#include "reply/back_form.h"
#include "scripted_desktop.h"
#include "settings/settings_files.h"
#include "store/mail_records.h"
#include "temp_app_folder.h"
#include "units.h"

namespace {

// Whether a window of class Form is open for `app`, asked without loading one.
template <class Form>
Form* loaded(const QuillpostApp& app) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* form = qobject_cast<Form*>(window); form != nullptr && app.isLoaded(form)) {
            return form;
        }
    }
    return nullptr;
}

void drawPicture(const QString& path, const QColor& colour) {
    QDir().mkpath(QFileInfo(path).path());
    QImage picture(16, 12, QImage::Format_RGB32);
    picture.fill(colour);
    picture.save(path, "PNG");
}

class MainFormTest : public QuillpostTest {
  protected:
    void SetUp() override {
        for (int n = 1; n <= 10; ++n) {
            drawPicture(folder.file(QStringLiteral("背景画像/%1.jpg").arg(n)),
                        QColor(n * 20, 0, 0));
        }
        for (int n = 1; n <= 4; ++n) {
            drawPicture(folder.file(QStringLiteral("メール種別画像/%1.jpg").arg(n)), Qt::blue);
        }
    }

    void writeServers(const QString& pop3) {
        ASSERT_TRUE(writeServerSettings(folder.path(), {QStringLiteral("smtp.example.jp"), pop3,
                                                        QStringLiteral("taro@example.jp"), 1}));
    }

    MainForm& start() { return startApp().mainForm(); }

    QString shownPicture() const {
        return QFileInfo(app->mainForm().Image1->picturePath()).fileName();
    }

    void makeProgram(const QString& relative) {
        const QString path = folder.file(relative);
        QDir().mkpath(QFileInfo(path).path());
        folder.write(relative, "#!/bin/sh\n");
        QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

TEST_F(MainFormTest, FirstStartWithoutServerFileOpensTheOptionsDialog) {
    MainForm& main = start();
    main.show();
    EXPECT_TRUE(app->Pop3Server.isEmpty());
    OptionForm* options = loaded<OptionForm>(*app);
    ASSERT_NE(options, nullptr);
    EXPECT_TRUE(options->isVisible());
    EXPECT_EQ(main.windowTitle(), QStringLiteral("クイル・ポスト"));
    EXPECT_EQ(main.frameGeometry().height(), twipsToPixels(MainForm::kNormalHeight));
    EXPECT_EQ(shownPicture(), QStringLiteral("1.jpg"));
}

TEST_F(MainFormTest, StartUpReadsServersLoadsComposeAndColourWithoutOptionsDialog) {
    writeServers(QStringLiteral("pop.example.jp"));
    MainForm& main = start();
    EXPECT_EQ(app->SmtpServer, QStringLiteral("smtp.example.jp"));
    EXPECT_EQ(app->Pop3Server, QStringLiteral("pop.example.jp"));
    EXPECT_EQ(app->MailAddress, QStringLiteral("taro@example.jp"));
    EXPECT_EQ(app->ApopFlag, 1);
    EXPECT_EQ(loaded<OptionForm>(*app), nullptr);
    ASSERT_NE(loaded<WriteForm>(*app), nullptr);
    EXPECT_FALSE(loaded<WriteForm>(*app)->Check1->isChecked());
    ASSERT_NE(loaded<BackColorForm>(*app), nullptr);
    EXPECT_FALSE(loaded<BackColorForm>(*app)->isVisible());
    for (QToolButton* button : {main.Command2, main.Command3, main.Command4, main.Command5,
                                main.Command6, main.Command8}) {
        EXPECT_TRUE(button->isEnabled());
    }
    for (ImageBox* kind : {main.Image2, main.Image3, main.Image4, main.Image5}) {
        EXPECT_TRUE(kind->isHidden());
    }
    EXPECT_EQ(QFileInfo(main.Image4->picturePath()).fileName(), QStringLiteral("4.jpg"));
}

TEST_F(MainFormTest, SavedColourGoesToTheListedTargetsOnly) {
    folder.write(QStringLiteral("★MailData/ini.ini"),
                 "[EXEINI]\r\nNUMBER=10\r\nNUMBER2=300\r\nNUMBER3=-4\r\n");
    MainForm& main = start();
    const QColor saved(10, 255, 0);
    EXPECT_EQ(main.backColor(), saved);
    for (int element : {0, 1, 2, 4, 5, 9}) {
        EXPECT_EQ(main.Label1[element]->palette().color(QPalette::Window), saved) << element;
        EXPECT_TRUE(main.Label1[element]->autoFillBackground());
    }
    EXPECT_NE(main.Label1[3]->palette().color(QPalette::Window), saved);
    EXPECT_EQ(main.Label3->palette().color(QPalette::Window), saved);
    EXPECT_EQ(main.Shape1[1]->palette().color(QPalette::Window), saved);
    EXPECT_NE(main.Picture1->palette().color(QPalette::Window), saved);
    EXPECT_NE(main.menuBar->palette().color(QPalette::Window), saved);

    BackColorForm& colours = app->backColorForm();
    EXPECT_EQ(colours.Text1->text(), QStringLiteral("10"));
    EXPECT_EQ(colours.Text2->text(), QStringLiteral("255"));
    EXPECT_EQ(colours.Text3->text(), QStringLiteral("0"));
}

TEST_F(MainFormTest, FirstStartIsBlackWithLegibleCaptions) {
    MainForm& main = start();
    EXPECT_EQ(main.backColor(), QColor(0, 0, 0));
    EXPECT_EQ(main.Label1[2]->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_NE(main.menuBar->palette().color(QPalette::Window), QColor(0, 0, 0));
}

TEST_F(MainFormTest, HoverUncoversTheHelpLineAndTheBareWindowCoversIt) {
    MainForm& main = start();
    main.show();
    main.Command3_MouseMove();
    EXPECT_EQ(main.frameGeometry().height(), twipsToPixels(MainForm::kExpandedHeight));
    EXPECT_TRUE(main.Label3->text().startsWith(QStringLiteral("メールの受信を行います。")));
    EXPECT_TRUE(main.rect().contains(main.Label3->geometry()));
    main.Form_MouseMove();
    EXPECT_EQ(main.frameGeometry().height(), twipsToPixels(MainForm::kNormalHeight));
    EXPECT_TRUE(main.Label3->text().isEmpty());
    EXPECT_FALSE(main.rect().contains(main.Label3->geometry().topLeft()));

    // The pointer really moving over the picture and over a button.
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), main.Image1->mapToGlobal(QPointF(5, 5)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(main.Image1, &move);
    EXPECT_EQ(main.frameGeometry().height(), twipsToPixels(MainForm::kExpandedHeight));
    EXPECT_TRUE(main.Label3->text().startsWith(QStringLiteral("あなたの家族")));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), main.Command8->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(main.Command8, &enter);
    EXPECT_EQ(main.Label3->text(),
              QStringLiteral("あなたが送信したメールが記録されています。適時、不要なメールの削除"
                             "を行って下さい。"));
}

TEST_F(MainFormTest, OnlyTheRightButtonOpensThePopupMenu) {
    MainForm& main = start();
    main.show();
    const auto press = [&](Qt::MouseButton button) {
        QMouseEvent event(QEvent::MouseButtonPress, QPointF(10, 10),
                          main.Image1->mapToGlobal(QPointF(10, 10)), button, button,
                          Qt::NoModifier);
        QApplication::sendEvent(main.Image1, &event);
    };
    press(Qt::LeftButton);
    EXPECT_FALSE(main.mnupopup->isVisible());
    press(Qt::RightButton);
    EXPECT_TRUE(main.mnupopup->isVisible());
    main.mnupopup->close();
}

TEST_F(MainFormTest, SlideShowRunsTenPicturesForFiftySecondsAndEndsOnTheFirst) {
    MainForm& main = start();
    main.mnuImage_Click(7);
    EXPECT_EQ(shownPicture(), QStringLiteral("7.jpg"));

    QStringList seen;
    const qint64 begin = clock.nowMs();
    for (int n = 0; n < 10; ++n) {
        clock.at(begin + 2500 + n * 5001, [&] { seen.append(shownPicture()); });
    }
    // A second press during the show changes nothing.
    clock.at(begin + 7000, [&] { main.mnuRe_Click(); });
    main.mnuRe_Click();

    EXPECT_EQ(seen, (QStringList{"1.jpg", "2.jpg", "3.jpg", "4.jpg", "5.jpg", "6.jpg", "7.jpg",
                                 "8.jpg", "9.jpg", "10.jpg"}));
    EXPECT_EQ(shownPicture(), QStringLiteral("1.jpg"));
    EXPECT_GE(clock.nowMs() - begin, 50000);
    EXPECT_LT(clock.nowMs() - begin, 50100);
    EXPECT_FALSE(main.slideShowRunning());
}

TEST_F(MainFormTest, ClosingTheWindowDuringTheSlideShowEndsTheProgram) {
    MainForm& main = start();
    main.show();
    clock.at(clock.nowMs() + 12000, [&] { main.close(); });
    main.mnuRe_Click();
    EXPECT_TRUE(app->ending());
    EXPECT_LT(clock.nowMs(), 20000);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(loaded<MainForm>(*app), nullptr);
    EXPECT_EQ(loaded<BackColorForm>(*app), nullptr);
}

TEST_F(MainFormTest, CompanionProgramsAreStartedByPathAndAMissingOneIsNamed) {
    makeProgram(QStringLiteral("Holdfast"));
    makeProgram(QStringLiteral("data/Arcopen"));
    MainForm& main = start();
    main.Command5_Click();
    main.mnulpkaito_Click();
    main.mnukai_Click();
    EXPECT_EQ(desktop.startedPrograms,
              (QStringList{programPath(folder.path(), u"\\Holdfast.exe"),
                           programPath(folder.path(), u"\\data\\Arcopen.exe"),
                           programPath(folder.path(), u"\\data\\Arcopen.exe")}));
    EXPECT_TRUE(desktop.messages.isEmpty());

    main.mnua_Click();
    main.mnulphaa_Click();
    EXPECT_EQ(desktop.startedPrograms.size(), 3);
    ASSERT_EQ(desktop.messages.size(), 2);
    EXPECT_TRUE(desktop.messages[0].text.contains(QStringLiteral("Arcpack")));
    EXPECT_TRUE(desktop.messages[0].text.contains(QStringLiteral("見つかりません")));

    desktop.programsStart = false;
    main.Command5_Click();
    EXPECT_TRUE(desktop.messages.last().text.contains(QStringLiteral("起動できません")));

    main.mnuhomepage_Click();
    EXPECT_EQ(desktop.openedUrls, QList<QUrl>{QUrl(QString::fromLatin1(MainForm::kHomePage))});
}

TEST_F(MainFormTest, HistoryButtonsSetTheModeAndRefillAnOpenWindow) {
    ASSERT_TRUE(receivedMailStore(folder.path()).Append({"受信の件名", "date", "from", "body", 1}));
    ASSERT_TRUE(sentMailStore(folder.path())
                    .Append({"送信の件名", "to@example.jp", "本文", "2026/12/08  9:00:00", 1}));
    MainForm& main = start();
    main.Command6_Click();
    TyakuForm& tyaku = app->tyakuForm();
    EXPECT_EQ(app->HistoryMode, 1);
    EXPECT_EQ(tyaku.windowTitle(), QStringLiteral("着信履歴"));
    EXPECT_TRUE(tyaku.isVisible());
    ASSERT_EQ(tyaku.MailListView->topLevelItemCount(), 1);
    EXPECT_EQ(tyaku.MailListView->topLevelItem(0)->text(0).trimmed(), QStringLiteral("受信の件名"));

    main.Command8_Click();
    EXPECT_EQ(app->HistoryMode, 2);
    EXPECT_EQ(tyaku.windowTitle(), QStringLiteral("送信履歴"));
    ASSERT_EQ(tyaku.MailListView->topLevelItemCount(), 1);
    EXPECT_EQ(tyaku.MailListView->topLevelItem(0)->text(0).trimmed(), QStringLiteral("送信の件名"));
    EXPECT_EQ(tyaku.MailListView->palette().color(QPalette::Base), QColor(220, 245, 245));
}

TEST_F(MainFormTest, TheClockShowsDateTwoSpacesAndTime) {
    MainForm& main = start();
    const QString clockText = main.Text1->text();
    EXPECT_TRUE(clockText.contains(QStringLiteral("  "))) << clockText.toStdString();
    EXPECT_TRUE(clockText.contains(QString::number(QDate::currentDate().year() % 100)));
    EXPECT_EQ(main.Timer2->interval(), 1000);
    EXPECT_TRUE(main.Timer2->isActive());
    EXPECT_FALSE(main.Timer1->isActive());
}

TEST_F(MainFormTest, ReceiveAndComposeHaveKeyboardShortcutsShownInTheMenu) {
    writeServers(QStringLiteral("127.0.0.1:1"));
    MainForm& main = start();
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    EXPECT_EQ(main.mnuReceive->shortcut(), QKeySequence(QStringLiteral("Ctrl+R")));
    QTest::keyClick(&main, Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(app->writeForm().isVisible());
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    desktop.messages.clear();
    QTest::keyClick(&main, Qt::Key_R, Qt::ControlModifier);
    // Nothing listens there: the receive reports it.
    EXPECT_EQ(desktop.messages.size(), 1);
}

// Closing the main window ends the program: a mail still in a compose or reply window goes
// only when the user says so.
TEST_F(MainFormTest, ClosingWithAnUnsentMailAsksFirst) {
    writeServers(QStringLiteral("pop.example.jp"));
    const QString subject = QStringLiteral("Notice");
    const auto typeSubject = [&] {
        app->writeForm().show();
        QTest::keyClicks(app->writeForm().SubjectText, subject);
    };
    const struct {
        const char* open;
        std::function<void()> prepare;
        bool asks;
    } cases[] = {
        {"an empty compose window", [&] { app->writeForm().show(); }, false},
        {"a sent mail, its window hidden",
         [&] {
             typeSubject();
             app->writeForm().hide();
         },
         false},
        {"a subject typed", typeSubject, true},
        {"a reply window", [&] { app->backForm().show(); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.open);
        MainForm& main = start();
        main.show();
        c.prepare();
        desktop.messages.clear();
        if (!c.asks) {
            EXPECT_TRUE(main.close());
            EXPECT_TRUE(desktop.messages.isEmpty());
            continue;
        }
        desktop.answers = {Desktop::Answer::No};
        EXPECT_FALSE(main.close());
        ASSERT_EQ(desktop.messages.size(), 1);
        EXPECT_EQ(desktop.messages[0].buttons, Desktop::Buttons::YesNo);
        EXPECT_FALSE(app->ending());
        if (app->isWriteFormLoaded() && app->writeForm().isVisible()) {
            EXPECT_EQ(app->writeForm().SubjectText->text(), subject);
        }
        desktop.answers = {Desktop::Answer::Yes};
        EXPECT_TRUE(main.close());
        EXPECT_TRUE(app->ending());
    }
}

}  // namespace
