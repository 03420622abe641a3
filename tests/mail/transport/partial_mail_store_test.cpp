#include <gtest/gtest.h>

#include <QDateTime>
#include <QTimeZone>

#include <QDir>

#include "temp_app_folder.h"
#include "test_mails.h"
#include "transport/mail_decoding.h"
#include "transport/partial_mail_store.h"

namespace {

QByteArray piece(int number, const QByteArray& body) {
    return mailText("Received: from relay.example.jp\nFrom: =?UTF-8?B?" +
                        QStringLiteral("髙橋").toUtf8().toBase64() +
                        "?= <taka@example.jp>\nTo: me@example.jp\n"
                        "Date: Tue, 8 Dec 2026 10:00:00 +0900\nSubject: split (" +
                        QByteArray::number(number) + "/3)\nMessage-ID: <piece" +
                        QByteArray::number(number) +
                        "@example.jp>\nMIME-Version: 1.0\n"
                        "Content-Type: message/partial; id=\"whole@example.jp\"; number=" +
                        QByteArray::number(number) + "; total=3",
                    body);
}

TEST(PartialMail, RebuiltMailTakesTheOuterFieldsOfTheFirstPiece) {
    TempAppFolder app;
    const QByteArray enclosed =
        "Subject: =?ISO-2022-JP?B?" + japaneseIn("ISO-2022-JP").toBase64() +
        "?=\r\nMessage-ID: <whole@example.jp>\r\nFrom: dropped@example.jp\r\n"
        "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=Shift_JIS\r\n"
        "\r\n" +
        japaneseIn("Shift_JIS") + "\r\nline2\r\n";
    const QByteArray parts[] = {enclosed.first(40), enclosed.sliced(40, 120), enclosed.sliced(160)};
    for (int number : {2, 3}) {
        EXPECT_EQ(keepPartialMail(app.attachmentFolder(), {"whole@example.jp", number, 3},
                                  piece(number, parts[number - 1]))
                      .state,
                  PartialState::Missing);
    }
    const PartialOutcome outcome =
        keepPartialMail(app.attachmentFolder(), {"whole@example.jp", 1, 3}, piece(1, parts[0]));
    ASSERT_EQ(outcome.state, PartialState::Complete);

    const DecodedMail mail = decodeMail(outcome.rebuiltMail);
    EXPECT_EQ(mail.summary.from, QStringLiteral("髙橋 <taka@example.jp>"));
    EXPECT_EQ(mail.summary.date, QDateTime(QDate(2026, 12, 8), QTime(10, 0), QTimeZone(9 * 3600))
                                     .toLocalTime()
                                     .toString(QStringLiteral("yyyy/MM/dd HH:mm")));
    EXPECT_EQ(mail.summary.subject, kJapanese);
    EXPECT_EQ(mail.summary.body, kJapanese + QStringLiteral("\r\nline2\r\n"));
    EXPECT_FALSE(mail.partial.has_value());
    EXPECT_TRUE(outcome.rebuiltMail.startsWith("Received: from relay.example.jp\r\nFrom: "));
    for (const char* gone : {"message/partial", "dropped@", "piece1@", "(1/3)"}) {
        EXPECT_FALSE(outcome.rebuiltMail.contains(gone)) << gone;
    }
    EXPECT_EQ(outcome.rebuiltMail.count("MIME-Version"), 1);
    // The pieces wait until the caller has the rebuilt mail on the disk.
    ASSERT_EQ(outcome.pieceFiles.size(), 4);
    removePieces(outcome.pieceFiles);
    EXPECT_FALSE(QDir(app.attachmentFolder()).exists(QStringLiteral(".partial-mail")));
}

}  // namespace
