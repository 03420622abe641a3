#include <gtest/gtest.h>

#include "cp932.h"
#include "temp_app_folder.h"
#include "transport/header_text.h"
#include "transport/mail_charset.h"
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

QByteArrayList wireLines(const QByteArray& mail) {
    return mail.split('\n');
}

// The unfolded value of the first `name` field from `from` on.
QByteArray fieldAfter(const QByteArray& mail, QByteArrayView name, qsizetype from = 0) {
    return headerField(QByteArrayView(mail).sliced(from), name).trimmed();
}

TEST(MimeOutgoing, EveryEncodedWordStandsAloneWithinItsLength) {
    const QString subjects[] = {
        QStringLiteral("お見積りのご依頼について 2024年12月分"),
        QStringLiteral("あaいbうcえdおe").repeated(5),
        QStringLiteral("絵文字😀の題名").repeated(6),
        QStringLiteral("=?utf-8?q?abc?="),
    };
    for (const QString& subject : subjects) {
        QString error;
        const auto mail = buildOutgoingMail(sample(subject, QStringLiteral("b")), error);
        ASSERT_TRUE(mail);
        QString eachAlone;
        for (const QByteArray& word : fieldAfter(*mail, "Subject").split(' ')) {
            EXPECT_LE(word.size(), 75) << word.toStdString();
            const QByteArray bytes = word.split('?').value(3);
            const QByteArray jis = QByteArray::fromBase64(bytes);
            EXPECT_TRUE(!jis.contains('\x1b') ||
                        jis.sliced(jis.lastIndexOf('\x1b')).startsWith("\x1b(B"))
                << word.toStdString();
            eachAlone += decodeHeaderText(word);
        }
        EXPECT_EQ(eachAlone, subject);
    }
}

TEST(MimeOutgoing, TextPartsKeepEveryLineWithinTheLimit) {
    const struct {
        QString body;
        QByteArray encoding;
        QByteArray charset;
    } cases[] = {
        {QStringLiteral("短い行\n次の行"), "7bit", "ISO-2022-JP"},
        {QStringLiteral("運勢は大吉"), "7bit", "ISO-2022-JP"},
        {QStringLiteral("長い段落です。").repeated(100), "base64", "ISO-2022-JP"},
        {QStringLiteral("https://example.jp/") + QString(1200, u'a'), "base64", "ISO-2022-JP"},
        {QStringLiteral("😀").repeated(400), "base64", "UTF-8"},
    };
    for (const auto& c : cases) {
        QString error;
        const auto mail = buildOutgoingMail(sample(QStringLiteral("s"), c.body), error);
        ASSERT_TRUE(mail);
        EXPECT_EQ(fieldAfter(*mail, "Content-Transfer-Encoding"), c.encoding);
        EXPECT_TRUE(mail->contains("charset=" + c.charset));
        for (const QByteArray& line : wireLines(*mail)) {
            EXPECT_LE(line.size(), 999);
            // Each ISO-2022-JP line of the text goes back to ASCII before its end.
            EXPECT_TRUE(!line.contains('\x1b') ||
                        line.sliced(line.lastIndexOf('\x1b')).startsWith("\x1b(B"));
        }
        QString expected = c.body;
        expected.replace(u'\n', QStringLiteral("\r\n"));
        // A 7bit part gains the line end that closes it on the wire.
        QString body = decodeMail(*mail).summary.body;
        if (c.encoding == "7bit") {
            body.chop(2);
        }
        EXPECT_EQ(body, expected);
    }
}

TEST(MimeOutgoing, DisplayNamesWithCommasStayOneRecipient) {
    const QString yamada = QStringLiteral("\"Yamada, Taro\" <taro@example.jp>");
    EXPECT_EQ(
        splitRecipients(yamada + QStringLiteral(", \"a\\\"b, c\" <ab@x.jp>,,b@y.jp ")),
        (QStringList{yamada, QStringLiteral("\"a\\\"b, c\" <ab@x.jp>"), QStringLiteral("b@y.jp")}));
    EXPECT_EQ(bareAddress(yamada), QByteArray("taro@example.jp"));
    EXPECT_EQ(displayNameOf(yamada), QStringLiteral("Yamada, Taro"));
    EXPECT_EQ(senderAsRecipient(QStringLiteral("Yamada, Taro <taro@example.jp>")), yamada);
    EXPECT_EQ(senderAsRecipient(yamada), yamada);

    OutgoingMail outgoing = sample(QStringLiteral("s"), QStringLiteral("b"));
    outgoing.to = {yamada, QStringLiteral("山田, 花子 <hanako@example.jp>")};
    QString error;
    const auto mail = buildOutgoingMail(outgoing, error);
    ASSERT_TRUE(mail);
    EXPECT_TRUE(fieldAfter(*mail, "To").startsWith(yamada.toUtf8() + ", =?ISO-2022-JP?B?"));
}

TEST(MimeOutgoing, AttachmentNamesGoAsUtf8PiecesAndEncodedWords) {
    TempAppFolder app;
    const QString name =
        QStringLiteral("お見積り書類＿２０２４年１２月分＿株式会社サンプル御中①.jpg");
    app.write(name, "jpeg");
    app.write(QStringLiteral("メモ.txt"), encodeCp932(QStringLiteral("①の件")));
    OutgoingMail outgoing = sample(QStringLiteral("s"), QStringLiteral("b"));
    outgoing.attachmentPaths = {app.file(name), app.file(QStringLiteral("メモ.txt"))};
    QString error;
    const auto mail = buildOutgoingMail(outgoing, error);
    ASSERT_TRUE(mail);

    const qsizetype part = mail->indexOf("Content-Type: image/jpeg");
    const QByteArray disposition = fieldAfter(*mail, "Content-Disposition", part);
    QByteArray utf8;
    for (const QByteArray& piece : disposition.split(';').mid(1)) {
        const QByteArray value =
            piece.sliced(piece.indexOf('=') + 1).trimmed().replace("UTF-8''", "");
        // Each piece is whole characters, so that a reader may decode it alone.
        EXPECT_EQ(QString::fromUtf8(QByteArray::fromPercentEncoding(value)).toUtf8(),
                  QByteArray::fromPercentEncoding(value));
        utf8 += QByteArray::fromPercentEncoding(value);
    }
    EXPECT_EQ(QString::fromUtf8(utf8), name);
    const QByteArray typeValue = fieldAfter(*mail, "Content-Type", part);
    const QByteArray typeName = typeValue.sliced(typeValue.indexOf("name=") + 5);
    EXPECT_EQ(decodeHeaderText(typeName.sliced(1, typeName.size() - 2)), name);
    EXPECT_EQ(decodeMail(*mail).attachments[0].fileName, name);
    EXPECT_TRUE(mail->contains("Content-Type: text/plain; charset=Shift_JIS;"));
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
