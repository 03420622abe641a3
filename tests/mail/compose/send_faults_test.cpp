#include <gtest/gtest.h>

#include <QFile>
#include <QTest>

#include <iostream>

#include "app/quillpost_app.h"
#include "compose/write_form.h"
#include "fault_injection.h"
#include "mail_servers.h"
#include "main_window/main_form.h"
#include "quillpost_test.h"
#include "store/mail_records.h"

namespace {

using faultInjection::Call;

const QString kDone = QStringLiteral("送信完了です。");

MailServers::Options limitedServer() {
    MailServers::Options options;
    // A mail over this size is refused, and its record is taken back.
    options.smtpSizeLimit = 3000;
    return options;
}

// Sends from the compose window while the sent history's writes fail in turn: the history
// keeps its earlier record untouched and holds the new one whole or not at all, a mail is
// never sent without its record, and every failure is told.
class SendFaults : public QuillpostTest, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(servers.started()) << servers.error().toStdString();
        QuillpostTest::SetUp();
        useSmtpServer(servers.smtpHost());
        big = folder.file(QStringLiteral("写真.jpg"));
        folder.write(QStringLiteral("写真.jpg"), QByteArray(5000, '\x7f'));
    }

    QByteArray history() const {
        QFile file(sentMailStore(folder.path()).file().path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void send(const QString& attachment) {
        WriteForm& form = app->writeForm();
        form.show();
        form.ToText->SetText(QStringLiteral("taro@localhost"));
        form.SubjectText->setText(QStringLiteral("見積りの件"));
        form.BodyText->SetText(QStringLiteral("よろしくお願いします。"));
        form.AttachText->setText(attachment);
        QTest::mousePress(form.Image1, Qt::LeftButton);
        QTest::mouseRelease(form.Image1, Qt::LeftButton);
        settle();
    }

    MailServers servers{limitedServer()};
    QString big;
};

TEST_P(SendFaults, TheHistoryHoldsTheAttemptWholeOrNotAtAllAndEveryFailureIsTold) {
    const bool refused = GetParam();
    send(QString());
    ASSERT_TRUE(desktop.messages.isEmpty());
    const QByteArray earlier = history();
    ASSERT_EQ(earlier.size(), SentMailRecord::Length);
    int told = 0;
    const int faults = faultInjection::eachFault(
        {Call::Open, Call::Write, Call::Sync, Call::Rename, Call::Close}, [&](const auto& plan) {
            const std::string what = faultInjection::describe(plan).toStdString();
            QFile::remove(sentMailStore(folder.path()).file().path());
            folder.write(QStringLiteral("★MailData/") +
                             QFileInfo(sentMailStore(folder.path()).file().path()).fileName(),
                         earlier);
            app->CurrentRecordNo = 1;
            desktop.messages.clear();
            const qsizetype delivered = servers.mailbox(QStringLiteral("taro")).size();
            faultInjection::arm(plan, folder.path());
            send(refused ? big : QString());
            const bool fired = faultInjection::disarm();

            const QByteArray now = history();
            EXPECT_TRUE(now.startsWith(earlier)) << what;
            EXPECT_TRUE(now.size() == earlier.size() || now.size() == 2 * earlier.size()) << what;
            const bool sent = servers.mailbox(QStringLiteral("taro")).size() > delivered;
            EXPECT_FALSE(sent && now == earlier) << what << ": sent without its record";
            EXPECT_FALSE(refused && sent) << what;
            if (!fired) {
                EXPECT_EQ(now.size(), refused ? earlier.size() : 2 * earlier.size()) << what;
                return false;
            }
            // The refusal is told in any case; a fault adds what became of the history.
            const qsizetype boxes = desktop.messages.size() - (refused && now != earlier ? 1 : 0);
            EXPECT_GE(boxes, 1) << what << ": told nothing";
            told += boxes >= 1 ? 1 : 0;
            EXPECT_NE(app->writeForm().Label7->text(), kDone) << what;
            // The mail stays in the window for a resend.
            EXPECT_TRUE(app->writeForm().isVisible()) << what;
            EXPECT_EQ(app->writeForm().BodyText->Text(), QStringLiteral("よろしくお願いします。"))
                << what;
            return true;
        });
    EXPECT_EQ(told, faults);
    std::cout << (refused ? "refused send" : "send") << ": " << faults << " faults, " << told
              << " told\n";
}

INSTANTIATE_TEST_SUITE_P(Sends, SendFaults, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "RefusedAndWithdrawn" : "Delivered");
});

}  // namespace
