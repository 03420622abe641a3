#include <gtest/gtest.h>

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include "app/quillpost_app.h"
#include "compose/write_form.h"
#include "mail_servers.h"
#include "main_window/main_form.h"
#include "quillpost_test.h"
#include "reply/back_form.h"
#include "store/mail_records.h"

namespace {

// Mails sent through the real windows to aiosmtpd, read back by Python's email package:
// what an independent reader makes of the mail on the wire.
class SentMailReadingTest : public QuillpostTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(servers.started()) << servers.error().toStdString();
        QuillpostTest::SetUp();
        useSmtpServer(servers.smtpHost());
    }

    // The one mail in taro's mailbox as Python reads it.
    QJsonObject readByPython() {
        const QList<QByteArray> mails = servers.mailbox(QStringLiteral("taro"));
        EXPECT_EQ(mails.size(), 1);
        if (mails.isEmpty()) {
            return {};
        }
        const QString path = folder.file(QStringLiteral("arrived.eml"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(mails.last()) > 0);
        file.close();
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral(READ_SENT_MAIL_SCRIPT), path});
        EXPECT_TRUE(python.waitForFinished(30000));
        EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
        return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    }

    MailServers servers;
};

TEST_F(SentMailReadingTest, AComposedMailReadsExactly) {
    const QString subject = QStringLiteral("お見積りのご依頼について 2024年12月分");
    const QString longLine = QStringLiteral("長い段落です。").repeated(100);
    WriteForm& w = app->writeForm();
    w.show();
    w.ToText->SetText(QStringLiteral("\"Yamada, Taro\" <taro@localhost>"));
    w.SubjectText->setText(subject);
    w.BodyText->SetText(longLine + QStringLiteral("\r\n次の行"));
    QTest::mousePress(w.Image1, Qt::LeftButton);
    QTest::mouseRelease(w.Image1, Qt::LeftButton);

    const QJsonObject read = readByPython();
    EXPECT_EQ(read[u"subject"].toString(), subject);
    EXPECT_EQ(
        read[u"to"].toArray(),
        QJsonArray({QJsonArray{QStringLiteral("Yamada, Taro"), QStringLiteral("taro@localhost")}}));
    EXPECT_EQ(read[u"body"].toString(), longLine + QStringLiteral("\n次の行"));
    EXPECT_LE(read[u"longest_line"].toInt(), 998);
    EXPECT_EQ(read[u"defects"].toArray(), QJsonArray());
}

TEST_F(SentMailReadingTest, AReplyAfterPastingCarriesTheAnsweredTextWithoutPadding) {
    ReceivedMailStore store = receivedMailStore(folder.path());
    ASSERT_TRUE(store.Append({QStringLiteral("ご相談"), QStringLiteral("日付"),
                              QStringLiteral("taro@localhost"), QStringLiteral("元の本文"), 1}));
    app->ReceivedBuffer = *store.ReadAt(1);
    QGuiApplication::clipboard()->setText(QStringLiteral("了解しました。"));
    BackForm& back = app->backForm();
    back.show();
    back.ToText->setText(QStringLiteral("taro@localhost"));
    back.SubjectText->setText(QStringLiteral("Re:  ご相談"));
    QTest::mouseClick(back.Command1, Qt::LeftButton);
    QTest::mouseClick(back.SendCommand, Qt::LeftButton);

    const QJsonObject read = readByPython();
    EXPECT_EQ(read[u"body"].toString(), QStringLiteral("了解しました。\n\n\n\n元の本文\n"));
    EXPECT_LE(read[u"longest_line"].toInt(), 998);
}

}  // namespace
