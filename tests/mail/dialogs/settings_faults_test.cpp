#include <gtest/gtest.h>

#include <QDir>
#include <QTest>

#include <functional>
#include <iostream>

#include "app/quillpost_app.h"
#include "dialogs/back_color_form.h"
#include "dialogs/id_pass_form.h"
#include "dialogs/option_form.h"
#include "fault_injection.h"
#include "main_window/main_form.h"
#include "quillpost_test.h"

namespace {

using faultInjection::Call;

const QList<Call> kEveryCall = {Call::Open, Call::Write, Call::Sync, Call::Rename, Call::Close};

// The settings files as they stand before a save and as the save is to leave them.
struct SettingsFile {
    QString name;
    QByteArray before;
    QByteArray after;
};

class SettingsFaultsTest : public QuillpostTest {
  protected:
    QStringList allEntries() const {
        QStringList names;
        for (const QString& sub : {QString(), QStringLiteral("★MailData")}) {
            for (const QString& name :
                 QDir(folder.file(sub)).entryList(QDir::Files | QDir::Hidden)) {
                names.append(sub + u'/' + name);
            }
        }
        return names;
    }

    // Saves through `save` once for every call it makes, that call failing: each file is
    // whole, old or new, nothing is left beside it, and every failure is told.
    int everyFault(const QList<SettingsFile>& files, const std::function<void()>& save) {
        int told = 0;
        const int faults = faultInjection::eachFault(kEveryCall, [&](const auto& plan) {
            for (const SettingsFile& file : files) {
                folder.write(file.name, file.before);
            }
            const QStringList entries = allEntries();
            desktop.messages.clear();
            faultInjection::arm(plan, folder.path());
            save();
            const bool fired = faultInjection::disarm();
            const std::string what = faultInjection::describe(plan).toStdString();
            bool changed = false;
            for (const SettingsFile& file : files) {
                const QByteArray now = folder.read(file.name);
                EXPECT_TRUE(now == file.before || now == file.after) << what << " " << now.data();
                changed |= now != file.after;
            }
            EXPECT_EQ(allEntries(), entries) << what;
            EXPECT_EQ(!desktop.messages.isEmpty(), fired) << what;
            if (fired && !desktop.messages.isEmpty()) {
                ++told;
                EXPECT_TRUE(
                    desktop.messages.last().text.contains(QStringLiteral("ディスクの空き")));
            }
            EXPECT_TRUE(fired || !changed) << what;
            return fired;
        });
        EXPECT_EQ(told, faults);
        return faults;
    }

    // Clicks a dialog's button as the user does.
    static void click(QWidget& dialog, QAbstractButton* button) {
        dialog.show();
        QTest::mouseClick(button, Qt::LeftButton);
        settle();
    }
};

TEST_F(SettingsFaultsTest, OptionsOkSavesBothFilesWholeOrTellsWhy) {
    const QList<SettingsFile> files = {
        {QStringLiteral("qsmail.ini"),
         "SMTP=old.example.jp\r\nPOP3=old.example.jp\r\nMAIL=a@b\r\nAPOP= 0\r\n",
         "SMTP=smtp.example.jp\r\nPOP3=pop.example.jp\r\nMAIL=taro@example.jp\r\nAPOP= 1\r\n"},
        {QStringLiteral("★MailData/server-copies.ini"), "[SERVER]\r\nKEEP=0\r\nDAYS=0\r\n",
         "[SERVER]\r\nKEEP=1\r\nDAYS=14\r\n"},
    };
    const int faults = everyFault(files, [&] {
        app->SmtpServer = QStringLiteral("old.example.jp");
        OptionForm& options = app->optionForm();
        options.SmtpText->setText(QStringLiteral("smtp.example.jp"));
        options.Pop3Text->setText(QStringLiteral("pop.example.jp"));
        options.MailText->setText(QStringLiteral("taro@example.jp"));
        options.ApopCheck->setChecked(true);
        options.KeepCheck->setChecked(true);
        options.KeepDaysBox->setValue(14);
        click(options, options.OkCommand);
    });
    std::cout << "options saved under " << faults << " faults\n";
}

TEST_F(SettingsFaultsTest, AccountOkSavesIdAndPasswordTogetherOrTellsWhy) {
    const int faults = everyFault({{QStringLiteral("★MailData/iniIdPass.ini"),
                                    "[EXEINI]\r\nNAME=old\r\nNAME2=oldpass\r\nNAME3=1\r\n",
                                    "[EXEINI]\r\nNAME=taro\r\nNAME2=himitsu\r\nNAME3=1\r\n"}},
                                  [&] {
                                      IdPassForm& account = app->idPassForm();
                                      account.IdText->setText(QStringLiteral("taro"));
                                      account.PassText->setText(QStringLiteral("himitsu"));
                                      account.Check1->setChecked(true);
                                      click(account, account.OKCommand);
                                  });
    std::cout << "account saved under " << faults << " faults\n";
}

TEST_F(SettingsFaultsTest, ClosingTheColourDialogSavesAllThreeOrTellsWhy) {
    app->mainForm();
    const int faults = everyFault(
        {{QStringLiteral("★MailData/ini.ini"), "[EXEINI]\r\nNUMBER=1\r\nNUMBER2=2\r\nNUMBER3=3\r\n",
          "[EXEINI]\r\nNUMBER=10\r\nNUMBER2=20\r\nNUMBER3=30\r\n"}},
        [&] {
            BackColorForm& colours = app->backColorForm();
            colours.Slider[0]->setValue(10);
            colours.Slider[1]->setValue(20);
            colours.Slider[2]->setValue(30);
            colours.close();
            settle();
        });
    std::cout << "colour saved under " << faults << " faults\n";
}

}  // namespace
