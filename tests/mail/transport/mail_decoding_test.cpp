#include <gtest/gtest.h>

#include <QDateTime>
#include <QTimeZone>

#include "cp932.h"
#include "test_mails.h"
#include "transport/mail_decoding.h"

namespace {

QByteArray encodedBody(const QByteArray& bytes, const QByteArray& transfer) {
    if (transfer == "base64") {
        return bytes.toBase64();
    }
    if (transfer == "quoted-printable") {
        return quotedPrintable(bytes);
    }
    return bytes;
}

TEST(MimeDecoding, EveryCharsetInEveryTransferEncoding) {
    for (const char* charset : {"ISO-2022-JP", "Shift_JIS", "EUC-JP", "UTF-8"}) {
        for (const char* transfer : {"7bit", "8bit", "base64", "quoted-printable"}) {
            const QByteArray body = japaneseIn(charset) + "\r\nline2\r\n";
            const QByteArray mail =
                mailText("From: a@example.jp\nSubject: =?" + QByteArray(charset) + "?B?" +
                             japaneseIn(charset).toBase64() + "?=\nMIME-Version: 1.0\n" +
                             "Content-Type: text/plain; charset=" + charset +
                             "\nContent-Transfer-Encoding: " + transfer,
                         encodedBody(body, transfer));
            const DecodedMail decoded = decodeMail(mail);
            EXPECT_EQ(decoded.summary.subject, kJapanese) << charset << " " << transfer;
            EXPECT_EQ(decoded.summary.body, kJapanese + QStringLiteral("\r\nline2\r\n"))
                << charset << " " << transfer;
            EXPECT_TRUE(decoded.attachments.isEmpty());
        }
    }
}

TEST(MimeDecoding, SummaryDecodesTheHeaderAndTheRawBodyStaysAtHand) {
    const QByteArray mail =
        mailText("From: =?UTF-8?B?" + QStringLiteral("髙橋").toUtf8().toBase64() +
                     "?= <t@example.jp>\nDate: Mon, 1 Jan 2024 09:00:00 +0900\nSubject: " +
                     japaneseIn("Shift_JIS") + "\nContent-Type: multipart/mixed; boundary=b",
                 "--b\r\nContent-Type: text/plain\r\n\r\nattachment\r\n--b--\r\n");
    const MailSummary summary = decodeMail(mail).summary;
    EXPECT_EQ(summary.from, QStringLiteral("髙橋 <t@example.jp>"));
    // In the computer's own time zone, as a Japanese reader writes a date.
    EXPECT_EQ(summary.date, QDateTime(QDate(2024, 1, 1), QTime(9, 0), QTimeZone(9 * 3600))
                                .toLocalTime()
                                .toString(QStringLiteral("yyyy/MM/dd HH:mm")));
    EXPECT_EQ(summary.subject, kJapanese);
    EXPECT_TRUE(rawBodyText(mail).startsWith(u"--b\r\nContent-Type: text/plain"));
}

TEST(MimeDecoding, FirstPlainTextWinsOverHtml) {
    const QByteArray mail =
        mailText("Content-Type: multipart/alternative; boundary=\"x\"",
                 "--x\r\nContent-Type: text/html; charset=utf-8\r\n\r\n<p>html</p>\r\n"
                 "--x\r\nContent-Type: text/plain; charset=iso-2022-jp\r\n\r\n" +
                     japaneseIn("ISO-2022-JP") + "\r\n--x--\r\n");
    // The line end before a boundary belongs to the boundary.
    EXPECT_EQ(decodeMail(mail).summary.body, kJapanese);
}

TEST(MimeDecoding, HtmlOnlyMailGivesItsText) {
    const QByteArray mail =
        mailText("Content-Type: text/html; charset=Shift_JIS\nContent-Transfer-Encoding: base64",
                 ("<html><body><p>" + japaneseIn("Shift_JIS") +
                  "&amp;more</p><p>next&nbsp;line</p>" + "</body></html>")
                     .toBase64());
    const QString body = decodeMail(mail).summary.body;
    EXPECT_TRUE(body.contains(kJapanese + QStringLiteral("&more"))) << body.toStdString();
    EXPECT_TRUE(body.contains(QStringLiteral("next line")));
    EXPECT_FALSE(body.contains(u'<'));
}

// Plain text keeps where each link leads, once, and loads nothing the HTML names.
TEST(MimeDecoding, HtmlOnlyMailKeepsItsLinkAddresses) {
    const QByteArray html =
        "<p><a href=\"https://shop.example.jp/sale\">\xe3\x81\x8a\xe5\xba\x97\xe3\x81\xae"
        "<b>\xe3\x83\x9a\xe3\x83\xbc\xe3\x82\xb8</b></a> / "
        "<a href=\"https://example.jp/\">https://example.jp/</a> / <a href=\"#top\">top</a> / "
        "<a href=\"mailto:info@example.jp\">info@example.jp</a></p>"
        "<img src=\"file:///dev/zero\">";
    const QString body =
        decodeMail(mailText("Content-Type: text/html; charset=utf-8", html)).summary.body;
    EXPECT_EQ(body.trimmed(),
              QStringLiteral("お店のページ <https://shop.example.jp/sale> / https://example.jp/ / "
                             "top / info@example.jp"));
}

TEST(MimeDecoding, NulInABodyDoesNotCutTheText) {
    const QByteArray mail =
        mailText("Content-Type: text/plain; charset=us-ascii", QByteArray("before\0after\r\n", 14));
    const DecodedMail decoded = decodeMail(mail);
    EXPECT_EQ(decoded.summary.body, QStringLiteral("beforeafter\r\n"));
    EXPECT_EQ(rawBodyText(mail), QStringLiteral("before after\r\n"));
}

TEST(MimeDecoding, LongBodyComesOutWhole) {
    QByteArray body;
    while (body.size() < 40000) {
        body += japaneseIn("Shift_JIS") + "\r\n";
    }
    const QByteArray mail =
        mailText("Content-Type: text/plain; charset=Shift_JIS\nContent-Transfer-Encoding: base64",
                 body.toBase64());
    EXPECT_EQ(decodeMail(mail).summary.body, decodeCp932(body));
    EXPECT_GT(encodeCp932(decodeMail(mail).summary.body).size(), 32000);
}

TEST(MimeDecoding, PlainOldMailWithoutMimeHeaders) {
    const QByteArray mail = "Subject: hi\n\nline one\nline two\n";
    const DecodedMail decoded = decodeMail(mail);
    EXPECT_EQ(decoded.summary.subject, QStringLiteral("hi"));
    EXPECT_EQ(decoded.summary.body, QStringLiteral("line one\r\nline two\r\n"));
}

TEST(MimeDecoding, BrokenMailsDoNotCrash) {
    const QByteArray samples[] = {
        QByteArray(),
        "no header at all",
        "Content-Type: multipart/mixed; boundary=zz\r\n\r\n--zz\r\nContent-Type: text/plain",
        "Content-Type: multipart/mixed\r\n\r\n--\r\n--\r\n",
        "Content-Type: text/plain; charset=\"\r\nContent-Transfer-Encoding: base64\r\n\r\n!!!",
        "Subject: =?ISO-2022-JP?B?GyRC?=\r\nContent-Type: message/partial\r\n\r\n",
        QByteArray(300, '\xff'),
    };
    for (const QByteArray& mail : samples) {
        const DecodedMail decoded = decodeMail(mail);
        EXPECT_FALSE(decoded.summary.body.contains(QChar(u'\0')));
    }
}

TEST(MimeDecoding, AttachmentsByDispositionAndByName) {
    const QByteArray jisName = "=?ISO-2022-JP?B?" + japaneseIn("ISO-2022-JP").toBase64() + "?=";
    const QByteArray mail =
        mailText("Content-Type: multipart/mixed; boundary=\"b1\"",
                 "--b1\r\nContent-Type: text/plain; charset=utf-8\r\n\r\nbody\r\n"
                 "--b1\r\nContent-Type: application/pdf; name=\"" +
                     jisName + ".pdf\"\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
                     QByteArray("PDF!").toBase64() +
                     "\r\n"
                     "--b1\r\nContent-Type: text/plain\r\nContent-Disposition: attachment;\r\n"
                     " filename*=UTF-8''%E8%B3%87%E6%96%99.txt\r\n\r\nnotes\r\n"
                     "--b1\r\nContent-Type: image/png\r\nContent-Disposition: attachment\r\n"
                     "Content-Transfer-Encoding: base64\r\n\r\n" +
                     QByteArray("\x89PNG").toBase64() + "\r\n--b1--\r\n");
    const DecodedMail decoded = decodeMail(mail);
    EXPECT_EQ(decoded.summary.body, QStringLiteral("body"));
    ASSERT_EQ(decoded.attachments.size(), 3);
    EXPECT_EQ(decoded.attachments[0].fileName, kJapanese + QStringLiteral(".pdf"));
    EXPECT_EQ(decoded.attachments[0].content, QByteArray("PDF!"));
    EXPECT_EQ(decoded.attachments[1].fileName, QStringLiteral("資料.txt"));
    EXPECT_EQ(decoded.attachments[1].content, QByteArray("notes"));
    EXPECT_EQ(decoded.attachments[2].fileName, QStringLiteral("attachment.png"));
    EXPECT_EQ(decoded.attachments[2].content, QByteArray("\x89PNG"));
}

TEST(MimeDecoding, UuencodedBlocksBecomeAttachments) {
    const QByteArray mail = mailText("Subject: uu",
                                     "see below\r\nbegin 644 hello.txt\r\n"
                                     ".:&5L;&\\L('=O<FQD(0H`\r\n`\r\nend\r\nthanks\r\n"
                                     "begin 644 cut.bin\r\nbroken off\r\n");
    const DecodedMail decoded = decodeMail(mail);
    ASSERT_EQ(decoded.attachments.size(), 1);
    EXPECT_EQ(decoded.attachments[0].fileName, QStringLiteral("hello.txt"));
    EXPECT_EQ(decoded.attachments[0].content, QByteArray("hello, world!\n"));
    EXPECT_EQ(decoded.summary.body,
              QStringLiteral("see below\r\nthanks\r\nbegin 644 cut.bin\r\nbroken off\r\n"));
}

TEST(MimeDecoding, PartialMailIsRecognised) {
    const QByteArray mail = mailText(
        "Subject: split\nContent-Type: message/partial; id=\"abc@example.jp\"; number=2; total=3",
        "more bytes\r\n");
    const DecodedMail decoded = decodeMail(mail);
    ASSERT_TRUE(decoded.partial.has_value());
    EXPECT_EQ(decoded.partial->id, QByteArray("abc@example.jp"));
    EXPECT_EQ(decoded.partial->number, 2);
    EXPECT_EQ(decoded.partial->total, 3);
}

}  // namespace
