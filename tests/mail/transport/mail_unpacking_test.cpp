#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "receive/mail_unpacking.h"
#include "temp_app_folder.h"
#include "test_mails.h"
#include "transport/partial_mail_store.h"

namespace {

using What = MailFailure::What;

// Unpacks `mail` into `unpacked`; what failed, if anything.
std::optional<What> unpack(UnpackedMail& unpacked, const QString& folder, const QByteArray& mail) {
    unpacked = {};
    const std::optional<MailFailure> failed = unpackMail(mail, folder, unpacked);
    return failed ? std::optional(failed->what) : std::nullopt;
}

QByteArray piece(int number, const char* totalParameter, const QByteArray& body) {
    return mailText("From: sender@example.jp\nSubject: split " + QByteArray::number(number) +
                        "\nContent-Type: message/partial; id=\"pieces@example.jp\"; number=" +
                        QByteArray::number(number) + totalParameter,
                    body);
}

TEST(MailUnpacking, SavesAttachmentsAndDecodesTheText) {
    TempAppFolder app;
    UnpackedMail unpacked;
    const QByteArray mail = mailText(
        "From: =?ISO-2022-JP?B?" + japaneseIn("ISO-2022-JP").toBase64() +
            "?= <a@example.jp>\nSubject: " + japaneseIn("Shift_JIS") +
            "\nContent-Type: multipart/mixed; boundary=b",
        "--b\r\nContent-Type: text/plain; charset=Shift_JIS\r\n\r\n" + japaneseIn("Shift_JIS") +
            "\r\n--b\r\nContent-Type: application/octet-stream; name=\"../../evil.sh\"\r\n"
            "Content-Transfer-Encoding: base64\r\n\r\n" +
            QByteArray("echo").toBase64() + "\r\n--b--\r\n");
    EXPECT_EQ(unpack(unpacked, app.attachmentFolder(), mail), std::nullopt);
    EXPECT_EQ(unpacked.mail.subject, kJapanese);
    EXPECT_EQ(unpacked.mail.from, kJapanese + QStringLiteral(" <a@example.jp>"));
    EXPECT_EQ(unpacked.mail.body, kJapanese);
    EXPECT_FALSE(unpacked.mail.mentionsAttachment) << "the raw body names no attachment";
    EXPECT_EQ(app.read(QStringLiteral("添付フォルダ/evil.sh")), QByteArray("echo"));
    EXPECT_FALSE(QFile::exists(app.file(QStringLiteral("evil.sh"))));
}

TEST(MailUnpacking, AnAttachmentThatCannotBeSavedFailsTheMailNamingTheFile) {
    TempAppFolder app;
    UnpackedMail unpacked;
    const QByteArray mail =
        mailText("Content-Type: multipart/mixed; boundary=b",
                 "--b\r\nContent-Type: text/plain\r\n\r\nhello\r\n--b\r\n"
                 "Content-Disposition: attachment; filename=a.txt\r\n\r\ndata\r\n--b--\r\n");
    const std::optional<MailFailure> failed =
        unpackMail(mail, app.file(QStringLiteral("missing")), unpacked);
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->what, What::AttachmentNotSaved);
    EXPECT_TRUE(failed->detail.contains(QStringLiteral("a.txt"))) << failed->detail.toStdString();
    EXPECT_TRUE(unpacked.mail.mentionsAttachment);
}

TEST(MailUnpacking, SplitMailIsRebuiltWhenTheLastPieceArrives) {
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
    UnpackedMail unpacked;
    // Pieces may come in any order; the last one to arrive completes the mail.
    EXPECT_EQ(unpack(unpacked, folder, piece(2, "; total=2", whole.sliced(cut))), std::nullopt);
    EXPECT_TRUE(unpacked.waitingPiece);
    EXPECT_EQ(unpacked.mail.subject, QStringLiteral("split 2"));
    EXPECT_FALSE(unpacked.mail.body.isEmpty());
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/big.bin")));

    EXPECT_EQ(unpack(unpacked, folder, piece(1, "", whole.first(cut))), std::nullopt);
    EXPECT_FALSE(unpacked.waitingPiece);
    EXPECT_EQ(unpacked.mail.subject, QStringLiteral("分割"));
    EXPECT_EQ(unpacked.mail.from, QStringLiteral("sender@example.jp"));  // the first piece's own
    EXPECT_EQ(unpacked.mail.body, QStringLiteral("inner text"));
    EXPECT_EQ(app.read(QStringLiteral("添付フォルダ/big.bin")), QByteArray(3000, 'Z'));
    // The pieces stay until the rebuilt mail is stored, then go with their folder.
    EXPECT_EQ(unpacked.pieceFiles.size(), 3);
    for (const QString& file : unpacked.pieceFiles) {
        EXPECT_TRUE(QFile::exists(file)) << file.toStdString();
    }
    removePieces(unpacked.pieceFiles);
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("big.bin")});
}

TEST(MailUnpacking, PiecesOfDifferentMailsAreKeptApart) {
    TempAppFolder app;
    UnpackedMail unpacked;
    const QByteArray other = mailText(
        "Content-Type: message/partial; id=\"other@example.jp\"; number=2; total=2", "x\r\n");
    EXPECT_EQ(unpack(unpacked, app.attachmentFolder(), other), std::nullopt);
    EXPECT_TRUE(unpacked.waitingPiece);
    EXPECT_EQ(unpack(unpacked, app.attachmentFolder(), piece(1, "; total=2", "y")), std::nullopt);
    EXPECT_TRUE(unpacked.waitingPiece);
}

}  // namespace
