#include <gtest/gtest.h>

#include "temp_app_folder.h"
#include "transport/mail_decoding.h"
#include "transport/outgoing_mail.h"

namespace {

OutgoingMail sample(const QString& subject, const QString& body) {
    return OutgoingMail{QStringLiteral("me@example.jp"),
                        {QStringLiteral("a@example.jp"), QStringLiteral("b@example.jp")},
                        subject,
                        body,
                        {}};
}

TEST(MimeOutgoing, JapaneseTextGoesAsIso2022JpAndComesBack) {
    QString error;
    const QString subject = QStringLiteral("ご案内①㈱ — a long subject that has to be folded over");
    const auto mail = buildOutgoingMail(sample(subject, QStringLiteral("本文①\n二行目")), error);
    ASSERT_TRUE(mail);
    EXPECT_TRUE(mail->contains("charset=ISO-2022-JP"));
    EXPECT_FALSE(mail->contains("\n\n"));  // CR LF throughout
    const DecodedMail decoded = decodeMail(*mail);
    EXPECT_EQ(decoded.summary.subject, subject);
    EXPECT_EQ(decoded.summary.body, QStringLiteral("本文①\r\n二行目\r\n"));
    EXPECT_EQ(decoded.summary.from, QStringLiteral("me@example.jp"));
    EXPECT_TRUE(mail->contains("To: a@example.jp, b@example.jp"));
    EXPECT_TRUE(mail->contains("Message-Id: <") || mail->contains("Message-ID: <"));
    EXPECT_TRUE(mail->contains("Date: "));
}

TEST(MimeOutgoing, TextThatIso2022JpCannotCarryGoesAsUtf8) {
    QString error;
    const auto mail =
        buildOutgoingMail(sample(QStringLiteral("ｱｲｳ 髙"), QStringLiteral("ﾃｽﾄ 😀")), error);
    ASSERT_TRUE(mail);
    EXPECT_TRUE(mail->contains("charset=UTF-8"));
    const DecodedMail decoded = decodeMail(*mail);
    EXPECT_EQ(decoded.summary.subject, QStringLiteral("ｱｲｳ 髙"));
    EXPECT_EQ(decoded.summary.body, QStringLiteral("ﾃｽﾄ 😀"));
}

TEST(MimeOutgoing, AttachmentsWithJapaneseNamesRoundTrip) {
    TempAppFolder app;
    app.write(QStringLiteral("見積書①.pdf"), QByteArray("%PDF\0\xff", 6));
    app.write(QStringLiteral("memo.txt"), "memo");
    OutgoingMail outgoing = sample(QStringLiteral("s"), QStringLiteral("b"));
    outgoing.attachmentPaths =
        splitAttachmentPaths(app.file(QStringLiteral("見積書①.pdf")) + QStringLiteral(", ") +
                             app.file(QStringLiteral("memo.txt")));
    QString error;
    const auto mail = buildOutgoingMail(outgoing, error);
    ASSERT_TRUE(mail);
    EXPECT_TRUE(mail->contains("filename*=UTF-8''"));
    const DecodedMail decoded = decodeMail(*mail);
    ASSERT_EQ(decoded.attachments.size(), 2);
    EXPECT_EQ(decoded.attachments[0].fileName, QStringLiteral("見積書①.pdf"));
    EXPECT_EQ(decoded.attachments[0].content, QByteArray("%PDF\0\xff", 6));
    EXPECT_EQ(decoded.attachments[1].content, QByteArray("memo"));
    EXPECT_EQ(decoded.summary.body, QStringLiteral("b"));
}

TEST(MimeOutgoing, MissingAttachmentIsAnError) {
    TempAppFolder app;
    OutgoingMail outgoing = sample(QStringLiteral("s"), QStringLiteral("b"));
    outgoing.attachmentPaths = {app.file(QStringLiteral("gone.zip"))};
    QString error;
    EXPECT_FALSE(buildOutgoingMail(outgoing, error));
    EXPECT_TRUE(error.contains(QStringLiteral("gone.zip")));
}

TEST(MimeOutgoing, ListsAreSplitAtCommas) {
    EXPECT_EQ(splitRecipients(QStringLiteral(" a@x.jp ,b@y.jp,, ")),
              (QStringList{QStringLiteral("a@x.jp"), QStringLiteral("b@y.jp")}));
    EXPECT_EQ(bareAddress(QStringLiteral("Name <n@x.jp>")), QByteArray("n@x.jp"));
    TempAppFolder app;
    app.write(QStringLiteral("a,b.txt"), "x");
    EXPECT_EQ(splitAttachmentPaths(app.file(QStringLiteral("a,b.txt"))),
              QStringList{app.file(QStringLiteral("a,b.txt"))});
    EXPECT_TRUE(splitAttachmentPaths(QStringLiteral("  ")).isEmpty());
}

}  // namespace
