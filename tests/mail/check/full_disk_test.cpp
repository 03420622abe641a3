// Quillpost on a disk that is full for real: its application folder on a small tmpfs of
// its own (on_small_disk.sh), filled up before the save or the check.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTest>

#include "app/quillpost_app.h"
#include "dialogs/id_pass_form.h"
#include "dialogs/option_form.h"
#include "fake_clock.h"
#include "main_window/main_form.h"
#include "receive_test.h"
#include "scripted_desktop.h"
#include "scripted_pop3.h"
#include "small_disk.h"
#include "store/mail_records.h"

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

class QuillpostFullDisk : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(smallDisk().isEmpty()) << "run by on_small_disk.sh";
        folder = smallDisk() + QStringLiteral("/") +
                 QString::fromLatin1(testing::UnitTest::GetInstance()->current_test_info()->name());
        for (const char* sub : {"★MailData", "添付フォルダ"}) {
            ASSERT_TRUE(QDir().mkpath(folder + u'/' + QString::fromUtf8(sub)));
        }
        put(file("qsmail.ini"), kServers);
        put(file("★MailData/iniIdPass.ini"), kAccount);
        app = std::make_unique<QuillpostApp>(folder, desktop, clock);
    }
    void TearDown() override {
        app.reset();
        QDir(folder).removeRecursively();
        QFile::remove(filler());
    }

    QString file(const char* relative) const { return folder + u'/' + QString::fromUtf8(relative); }
    QString filler() const { return smallDisk() + QStringLiteral("/filler"); }

    static constexpr char kServers[] =
        "SMTP=smtp.example.jp\r\nPOP3=pop.example.jp\r\nMAIL=taro@example.jp\r\nAPOP= 0\r\n";
    static constexpr char kAccount[] = "[EXEINI]\r\nNAME=taro\r\nNAME2=himitsu\r\nNAME3=1\r\n";

    QString folder;
    ScriptedDesktop desktop;
    FakeClock clock;
    std::unique_ptr<QuillpostApp> app;
};

TEST_F(QuillpostFullDisk, SettingsThatCannotBeSavedStayAsTheyWereAndTheUserIsTold) {
    ASSERT_GT(fillDisk(filler()), 0);
    OptionForm& options = app->optionForm();
    options.show();
    options.Pop3Text->setText(QStringLiteral("pop3.example.jp"));
    QTest::mouseClick(options.OkCommand, Qt::LeftButton);
    IdPassForm& account = app->idPassForm();
    account.show();
    account.IdText->setText(QStringLiteral("hanako"));
    account.PassText->setText(QStringLiteral("atarashii"));
    account.Check1->setChecked(true);
    QTest::mouseClick(account.OKCommand, Qt::LeftButton);

    EXPECT_EQ(readAll(file("qsmail.ini")), kServers);
    EXPECT_EQ(readAll(file("★MailData/iniIdPass.ini")), kAccount);
    const QStringList boxes = desktop.messageTexts();
    ASSERT_EQ(boxes.size(), 3) << boxes.join(u'|').toStdString();
    for (const QString& box : boxes) {
        EXPECT_TRUE(box.contains(QStringLiteral("ディスクの空き"))) << box.toStdString();
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("qsmail.ini")});
}

TEST_F(QuillpostFullDisk, ACheckOnAFullDiskStoresNothingCutAndTheMailComesOnceThereIsRoom) {
    ScriptedPop3 server({});
    ASSERT_TRUE(server.started());
    server.addMail(plainTestMail("first", "一通目"));
    server.addMail(testMailWithAttachment("second", "report.bin"));
    app->mainForm();
    app->transport().setTimeoutMs(1500);
    app->Pop3Server = server.host();
    ASSERT_GT(fillDisk(filler()), 0);

    app->mainForm().Command3_Click();
    ASSERT_FALSE(desktop.messages.isEmpty());
    EXPECT_EQ(desktop.messages.last().title, QStringLiteral("エラー"));
    EXPECT_EQ(server.mails().size(), 2);
    EXPECT_EQ(QFileInfo(file("★MailData/qsmdata2.data")).size() % ReceivedMailRecord::Length, 0);

    ASSERT_TRUE(QFile::remove(filler()));
    desktop.messages.clear();
    app->mainForm().Command3_Click();
    QStringList subjects;
    for (const ReceivedMailRecord& record : receivedMailStore(folder).ReadAll()) {
        subjects.append(record.Subject.trimmed());
    }
    EXPECT_EQ(subjects, (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    EXPECT_EQ(readAll(file("添付フォルダ/report.bin")), QByteArray(5000, 'D'));
    EXPECT_TRUE(server.mails().isEmpty());
}

}  // namespace
