#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "cp932.h"
#include "temp_app_folder.h"
#include "test_mails.h"
#include "transport/nmail.h"

namespace {

struct Buffers {
    QString subject, date, from, header, body;
};

// The whole mail as the mail check hands it over: text read back from its scratch file.
int attachmentCall(NMail& nmail, Buffers& buffers, const QString& folder, const QByteArray& mail) {
    return nmail.NMailAttachmentFileFirst(buffers.subject, buffers.date, buffers.from,
                                          buffers.header, buffers.body, folder,
                                          folder + QStringLiteral("/0.txt"), decodeCp932(mail));
}

QByteArray piece(int number, const char* totalParameter, const QByteArray& body) {
    return mailText("From: sender@example.jp\nSubject: split " + QByteArray::number(number) +
                        "\nContent-Type: message/partial; id=\"pieces@example.jp\"; number=" +
                        QByteArray::number(number) + totalParameter,
                    body);
}

TEST(TransportAttachmentCall, SavesAttachmentsAndRewritesTheBuffers) {
    TempAppFolder app;
    NMail nmail;
    Buffers buffers;
    const QByteArray mail = mailText(
        "From: =?ISO-2022-JP?B?" + japaneseIn("ISO-2022-JP").toBase64() +
            "?= <a@example.jp>\nSubject: " + japaneseIn("Shift_JIS") +
            "\nContent-Type: multipart/mixed; boundary=b",
        "--b\r\nContent-Type: text/plain; charset=Shift_JIS\r\n\r\n" + japaneseIn("Shift_JIS") +
            "\r\n--b\r\nContent-Type: application/octet-stream; name=\"../../evil.sh\"\r\n"
            "Content-Transfer-Encoding: base64\r\n\r\n" +
            QByteArray("echo").toBase64() + "\r\n--b--\r\n");
    // The folder as the mail check passes it, with a trailing backslash.
    EXPECT_EQ(attachmentCall(nmail, buffers, app.attachmentFolder() + u'\\', mail), 1);
    EXPECT_EQ(buffers.subject, kJapanese);
    EXPECT_EQ(buffers.from, kJapanese + QStringLiteral(" <a@example.jp>"));
    EXPECT_EQ(buffers.body, kJapanese);
    EXPECT_EQ(app.read(QStringLiteral("添付フォルダ/evil.sh")), QByteArray("echo"));
    EXPECT_FALSE(QFile::exists(app.file(QStringLiteral("evil.sh"))));
    EXPECT_EQ(nmail.NMailAttachmentFileClose(), 1);
}

TEST(TransportAttachmentCall, AttachmentThatCannotBeCreatedGivesMinusFive) {
    TempAppFolder app;
    NMail nmail;
    Buffers buffers;
    const QByteArray mail =
        mailText("Content-Type: multipart/mixed; boundary=b",
                 "--b\r\nContent-Type: text/plain\r\n\r\nhello\r\n--b\r\n"
                 "Content-Disposition: attachment; filename=a.txt\r\n\r\ndata\r\n--b--\r\n");
    EXPECT_EQ(attachmentCall(nmail, buffers, app.file(QStringLiteral("missing")), mail), -5);
    EXPECT_EQ(buffers.body, QStringLiteral("hello"));
    QString message;
    nmail.NMailGetMessage(message);
    EXPECT_TRUE(message.contains(QStringLiteral("a.txt"))) << message.toStdString();
}

TEST(TransportAttachmentCall, SplitMailIsRebuiltWhenTheLastPieceArrives) {
    TempAppFolder app;
    const QString folder = app.attachmentFolder();
    const QByteArray whole =
        mailText("From: origin@example.jp\nSubject: =?UTF-8?B?" +
                     QStringLiteral("分割").toUtf8().toBase64() +
                     "?=\nContent-Type: multipart/mixed; boundary=b",
                 "--b\r\nContent-Type: text/plain; charset=utf-8\r\n\r\ninner text\r\n--b\r\n"
                 "Content-Type: application/octet-stream; name=\"big.bin\"\r\n"
                 "Content-Transfer-Encoding: base64\r\n\r\n" +
                     QByteArray(3000, 'Z').toBase64() + "\r\n--b--\r\n");
    const qsizetype cut = whole.indexOf("Content-Type: application");
    NMail nmail;
    Buffers buffers;
    // Pieces may come in any order; the last one to arrive completes the mail.
    EXPECT_EQ(attachmentCall(nmail, buffers, folder, piece(2, "; total=2", whole.sliced(cut))), -6);
    EXPECT_EQ(buffers.subject, QStringLiteral("split 2"));
    EXPECT_FALSE(buffers.body.isEmpty());
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/big.bin")));

    NMail later;  // the next mail check
    EXPECT_EQ(attachmentCall(later, buffers, folder, piece(1, "", whole.first(cut))), 1);
    EXPECT_EQ(buffers.subject, QStringLiteral("分割"));
    EXPECT_EQ(buffers.from, QStringLiteral("sender@example.jp"));  // the first piece's own
    EXPECT_EQ(buffers.body, QStringLiteral("inner text"));
    EXPECT_EQ(app.read(QStringLiteral("添付フォルダ/big.bin")), QByteArray(3000, 'Z'));
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("big.bin")});
}

TEST(TransportAttachmentCall, PiecesOfDifferentMailsAreKeptApart) {
    TempAppFolder app;
    NMail nmail;
    Buffers buffers;
    const QByteArray other = mailText(
        "Content-Type: message/partial; id=\"other@example.jp\"; number=2; total=2", "x\r\n");
    EXPECT_EQ(attachmentCall(nmail, buffers, app.attachmentFolder(), other), -6);
    EXPECT_EQ(attachmentCall(nmail, buffers, app.attachmentFolder(), piece(1, "; total=2", "y")),
              -6);
}

}  // namespace
