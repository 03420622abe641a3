#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTest>

#include <memory>

#include "app/quillpost_app.h"
#include "dialogs/back_color_form.h"
#include "dialogs/id_pass_form.h"
#include "dialogs/option_form.h"
#include "fake_clock.h"
#include "main_window/main_form.h"
#include "private_profile.h"
#include "quillpost_test.h"
#include "scripted_desktop.h"
#include "settings/settings_files.h"
#include "temp_app_folder.h"

namespace {

template <class Form>
bool isOpen(const QuillpostApp& app) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<Form*>(window) != nullptr && app.isLoaded(window)) {
            return true;
        }
    }
    return false;
}

class SettingsDialogsTest : public QuillpostTest {
  protected:
    QString iniValue(const QString& file, const QString& key) const {
        return GetPrivateProfileString(QStringLiteral("EXEINI"), key, QStringLiteral("<none>"),
                                       folder.file(QStringLiteral("★MailData/") + file));
    }

    // Presses a key in an active window, as the user does.
    static void press(QWidget& window, QWidget* focus, Qt::Key key) {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        focus->setFocus();
        QTest::keyClick(focus, key);
        QCoreApplication::processEvents();
    }

    // Clicks a check box on its box, as a wide check box's centre may lie past its text.
    static void tick(QCheckBox& box) {
        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(box.height() / 2, box.height() / 2));
    }
};

TEST_F(SettingsDialogsTest, OptionsShowTheSharedValuesAndSaveThemInForceAtOnce) {
    app->SmtpServer = QStringLiteral("smtp.example.jp");
    app->Pop3Server = QStringLiteral("pop.example.jp");
    app->ApopFlag = 0;
    OptionForm& options = app->optionForm();
    EXPECT_EQ(options.windowTitle(), QStringLiteral("設定"));
    EXPECT_EQ(options.SmtpText->text(), QStringLiteral("smtp.example.jp"));
    EXPECT_EQ(options.Pop3Text->text(), QStringLiteral("pop.example.jp"));
    EXPECT_FALSE(options.ApopCheck->isChecked());

    options.Pop3Text->setText(QStringLiteral(" pop3.example.jp "));
    options.MailText->setText(QStringLiteral("太郎 <taro@example.jp>"));
    options.ApopCheck->setChecked(true);
    options.OkCommand_Click();

    EXPECT_EQ(app->Pop3Server, QStringLiteral(" pop3.example.jp "));
    EXPECT_EQ(app->ApopFlag, 1);
    EXPECT_EQ(folder.read(QStringLiteral("qsmail.ini")),
              QByteArray("SMTP=smtp.example.jp\r\nPOP3= pop3.example.jp \r\nMAIL=") +
                  QByteArray("\x91\xbe\x98\x59 <taro@example.jp>\r\nAPOP= 1\r\n"));
    EXPECT_FALSE(isOpen<OptionForm>(*app));
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST_F(SettingsDialogsTest, OptionsClosedByHomeCancelOrEscChangeNothing) {
    app->Pop3Server = QStringLiteral("pop.example.jp");
    const auto editAndLeave = [&](auto leave) {
        OptionForm& options = app->optionForm();
        options.Pop3Text->setText(QStringLiteral("other.example.jp"));
        options.ApopCheck->setChecked(true);
        leave(options);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(isOpen<OptionForm>(*app));
    };
    editAndLeave([](OptionForm& options) { options.Command1_Click(); });
    editAndLeave([](OptionForm& options) { options.CancelCommand_Click(); });
    editAndLeave([](OptionForm& options) { press(options, options.Pop3Text, Qt::Key_Escape); });
    // Enter presses the focused button, not the one that saves.
    editAndLeave(
        [](OptionForm& options) { press(options, options.CancelCommand, Qt::Key_Return); });
    EXPECT_EQ(app->Pop3Server, QStringLiteral("pop.example.jp"));
    EXPECT_EQ(app->ApopFlag, 0);
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("qsmail.ini"))));
}

TEST_F(SettingsDialogsTest, OptionsThatCannotBeSavedAreInForceAndTheUserIsTold) {
    QDir(folder.path()).mkdir(QStringLiteral("qsmail.ini"));
    OptionForm& options = app->optionForm();
    options.Pop3Text->setText(QStringLiteral("pop.example.jp"));
    options.OkCommand_Click();
    EXPECT_EQ(app->Pop3Server, QStringLiteral("pop.example.jp"));
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_TRUE(desktop.messages[0].text.contains(QStringLiteral("qsmail.ini")));
}

TEST_F(SettingsDialogsTest, KeepingMailOnTheServerIsSavedAndShownAgain) {
    OptionForm& first = app->optionForm();
    EXPECT_FALSE(first.KeepCheck->isChecked());
    EXPECT_FALSE(first.KeepDaysBox->isEnabled());
    first.show();
    tick(*first.KeepCheck);
    ASSERT_TRUE(first.KeepDaysBox->isEnabled());
    first.KeepDaysBox->setValue(14);
    QTest::mouseClick(first.OkCommand, Qt::LeftButton);
    settle();
    EXPECT_TRUE(readServerCopySettings(folder.path()).keep);
    EXPECT_EQ(readServerCopySettings(folder.path()).removeAfterDays, 14);

    OptionForm& again = app->optionForm();
    EXPECT_TRUE(again.KeepCheck->isChecked());
    EXPECT_EQ(again.KeepDaysBox->value(), 14);
    again.show();
    tick(*again.KeepCheck);
    QTest::mouseClick(again.OkCommand, Qt::LeftButton);
    settle();
    EXPECT_FALSE(readServerCopySettings(folder.path()).keep);
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST_F(SettingsDialogsTest, AKeepingTimeLongerThanTheBoxOffersIsKept) {
    ASSERT_TRUE(writeServerCopySettings(folder.path(), {true, 20000}));
    OptionForm& options = app->optionForm();
    EXPECT_EQ(options.KeepDaysBox->value(), 20000);
    options.OkCommand_Click();
    EXPECT_EQ(readServerCopySettings(folder.path()).removeAfterDays, 20000);
}

TEST_F(SettingsDialogsTest, AccountSavedOnlyWhenAskedAndTheSaveBoxAlwaysStartsUnticked) {
    IdPassForm& first = app->idPassForm();
    EXPECT_EQ(first.windowTitle(), QStringLiteral("ID/パスワード入力"));
    EXPECT_TRUE(first.IdText->text().isEmpty());
    first.IdText->setText(QStringLiteral("taro"));
    first.PassText->setText(QStringLiteral("himitsu"));
    EXPECT_EQ(first.PassText->displayText(), QStringLiteral("*******"));
    first.Check1->setChecked(true);
    first.OKCommand_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(iniValue(QStringLiteral("iniIdPass.ini"), QStringLiteral("NAME")),
              QStringLiteral("taro"));
    EXPECT_EQ(iniValue(QStringLiteral("iniIdPass.ini"), QStringLiteral("NAME2")),
              QStringLiteral("himitsu"));
    EXPECT_EQ(iniValue(QStringLiteral("iniIdPass.ini"), QStringLiteral("NAME3")),
              QStringLiteral("1"));

    IdPassForm& again = app->idPassForm();
    EXPECT_EQ(again.IdText->text(), QStringLiteral("taro"));
    EXPECT_EQ(again.PassText->text(), QStringLiteral("himitsu"));
    EXPECT_FALSE(again.Check1->isChecked());
    again.IdText->setText(QStringLiteral("jiro"));
    again.OKCommand_Click();
    EXPECT_EQ(app->AccountId, QStringLiteral("jiro"));
    EXPECT_EQ(iniValue(QStringLiteral("iniIdPass.ini"), QStringLiteral("NAME")),
              QStringLiteral("taro"));
    EXPECT_EQ(iniValue(QStringLiteral("iniIdPass.ini"), QStringLiteral("NAME3")),
              QStringLiteral("0"));
}

TEST_F(SettingsDialogsTest, AccountDialogAnswersEnterAnywhereAndEsc) {
    IdPassForm& account = app->idPassForm();
    account.IdText->setText(QStringLiteral("hanako"));
    press(account, account.Check1, Qt::Key_Return);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(app->AccountId, QStringLiteral("hanako"));
    EXPECT_FALSE(isOpen<IdPassForm>(*app));

    IdPassForm& cancelled = app->idPassForm();
    cancelled.IdText->setText(QStringLiteral("ignored"));
    press(cancelled, cancelled.IdText, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(app->AccountId, QStringLiteral("hanako"));
    EXPECT_FALSE(isOpen<IdPassForm>(*app));

    // Enter on End is End: nothing is saved.
    IdPassForm& ended = app->idPassForm();
    ended.IdText->setText(QStringLiteral("taro"));
    ended.PassText->setText(QStringLiteral("secret"));
    ended.Check1->setChecked(true);
    press(ended, ended.CancelCommand, Qt::Key_Return);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(app->AccountId, QStringLiteral("hanako"));
    EXPECT_FALSE(isOpen<IdPassForm>(*app));
    EXPECT_EQ(iniValue(QStringLiteral("iniIdPass.ini"), QStringLiteral("NAME2")),
              QStringLiteral("<none>"));
}

// Saving or not, an account file that cannot be read or written is said so.
TEST_F(SettingsDialogsTest, AccountThatCannotBeSavedIsReported) {
    QDir(folder.dataFolder()).mkdir(QStringLiteral("iniIdPass.ini"));
    for (const bool save : {false, true}) {
        IdPassForm& account = app->idPassForm();
        account.IdText->setText(QStringLiteral("taro"));
        account.Check1->setChecked(save);
        account.OKCommand_Click();
    }
    ASSERT_EQ(desktop.messages.size(), 2);
    EXPECT_TRUE(desktop.messages[1].text.contains(QStringLiteral("iniIdPass.ini")));
}

TEST_F(SettingsDialogsTest, ColourDialogStartsBlackWithoutAFile) {
    BackColorForm& colours = app->backColorForm();
    EXPECT_EQ(colours.windowTitle(), QStringLiteral("背景色設定"));
    for (QSlider* slider : colours.Slider) {
        EXPECT_EQ(slider->value(), 0);
    }
    for (QLineEdit* box : {colours.Text1, colours.Text2, colours.Text3}) {
        EXPECT_EQ(box->text(), QStringLiteral("0"));
        EXPECT_FALSE(colours.rect().intersects(box->geometry()));
    }
}

TEST_F(SettingsDialogsTest, ColourDialogClampsValuesOutsideTheRange) {
    folder.write(QStringLiteral("★MailData/ini.ini"),
                 "[EXEINI]\r\nNUMBER=999\r\nNUMBER2=-20\r\nNUMBER3=128\r\n");
    BackColorForm& colours = app->backColorForm();
    EXPECT_EQ(colours.Slider[0]->value(), 255);
    EXPECT_EQ(colours.Slider[1]->value(), 0);
    EXPECT_EQ(colours.Slider[2]->value(), 128);
    EXPECT_EQ(colours.Text1->text(), QStringLiteral("255"));
    EXPECT_EQ(colours.Text2->text(), QStringLiteral("0"));
}

TEST_F(SettingsDialogsTest, MovingASliderRecoloursTheMainWindowAtOnce) {
    MainForm& main = app->mainForm();
    BackColorForm& colours = app->backColorForm();
    colours.Slider[1]->setValue(255);
    const QColor green(0, 255, 0);
    EXPECT_EQ(main.backColor(), green);
    for (int element : {0, 1, 2, 4, 5, 9}) {
        EXPECT_EQ(main.Label1[element]->palette().color(QPalette::Window), green);
    }
    EXPECT_NE(main.Label1[3]->palette().color(QPalette::Window), green);
    EXPECT_EQ(colours.Text2->text(), QStringLiteral("255"));
}

TEST_F(SettingsDialogsTest, ClosingTheColourDialogSavesTheValues) {
    app->mainForm();
    BackColorForm& colours = app->backColorForm();
    colours.Slider[0]->setValue(10);
    colours.Slider[1]->setValue(20);
    colours.Slider[2]->setValue(30);
    colours.close();
    EXPECT_EQ(iniValue(QStringLiteral("ini.ini"), QStringLiteral("NUMBER")), QStringLiteral("10"));
    EXPECT_EQ(iniValue(QStringLiteral("ini.ini"), QStringLiteral("NUMBER2")), QStringLiteral("20"));
    EXPECT_EQ(iniValue(QStringLiteral("ini.ini"), QStringLiteral("NUMBER3")), QStringLiteral("30"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(app->backColorForm().Slider[2]->value(), 30);
}

}  // namespace
