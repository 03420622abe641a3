#include <gtest/gtest.h>

#include "cp932.h"
#include "test_mails.h"
#include "transport/header_params.h"
#include "transport/header_text.h"
#include "transport/mail_charset.h"

namespace {

TEST(MimeCharset, JapaneseCharsetsKeepExtensionsAndHalfWidthKatakana) {
    EXPECT_EQ(decodeMailText(japaneseIn("ISO-2022-JP"), "iso-2022-jp"), kJapanese);
    EXPECT_EQ(decodeMailText(japaneseIn("EUC-JP"), "EUC-JP"), kJapanese);
    EXPECT_EQ(decodeMailText(japaneseIn("UTF-8"), "utf-8"), kJapanese);
    for (const char* label :
         {"Shift_JIS", "shift-jis", "SJIS", "x-sjis", "windows-31j", "CP932", "MS_Kanji"}) {
        EXPECT_EQ(decodeMailText(japaneseIn("Shift_JIS"), label), kJapanese) << label;
    }
}

TEST(MimeCharset, WindowsFormsMapOntoTheCodePage) {
    // JIS 0x2141 and 0x215D as Windows sends them: they must survive storage in code page 932.
    const QString text = decodeMailText(QByteArray::fromHex("1b24422141215d1b2842"), "ISO-2022-JP");
    EXPECT_EQ(decodeCp932(encodeCp932(text)), text);
    EXPECT_FALSE(encodeCp932(text).contains('?'));
    // The IBM extension in the 0x8F plane of eucJP-ms.
    EXPECT_EQ(decodeMailText(QByteArray::fromHex("8ff4fb"), "euc-jp"), QStringLiteral("髙"));
}

TEST(MimeCharset, UnlabelledBytesAreGuessed) {
    EXPECT_EQ(decodeMailText(japaneseIn("Shift_JIS"), ""), kJapanese);
    EXPECT_EQ(decodeMailText(japaneseIn("UTF-8"), "us-ascii"), kJapanese);
    EXPECT_EQ(decodeMailText(japaneseIn("ISO-2022-JP"), "x-unknown-label"), kJapanese);
    EXPECT_EQ(decodeMailText("caf\xe9", "iso-8859-1"), QStringLiteral("café"));
}

TEST(MimeCharset, BrokenBytesAreMarkedNotDropped) {
    const QString text = decodeMailText(QByteArray("ab\x82") + "cd", "utf-8");
    EXPECT_TRUE(text.startsWith(u"ab"));
    EXPECT_TRUE(text.endsWith(u"cd"));
    EXPECT_TRUE(text.contains(QChar::ReplacementCharacter));
}

TEST(MimeHeader, EncodedWordsInEveryCharsetAndEncoding) {
    EXPECT_EQ(decodeHeaderText("=?ISO-2022-JP?B?" + japaneseIn("ISO-2022-JP").toBase64() + "?="),
              kJapanese);
    EXPECT_EQ(decodeHeaderText("=?shift_jis?B?" + japaneseIn("Shift_JIS").toBase64() + "?="),
              kJapanese);
    EXPECT_EQ(decodeHeaderText("=?EUC-JP?Q?" + quotedPrintable(japaneseIn("EUC-JP")) + "?="),
              kJapanese);
    EXPECT_EQ(decodeHeaderText("Re: =?utf-8?q?caf=C3=A9_au_lait?= ok"),
              QStringLiteral("Re: café au lait ok"));
}

TEST(MimeHeader, WordsSplitInsideACharacterAreJoined) {
    const QByteArray utf8 = QStringLiteral("髙橋").toUtf8();
    const QByteArray raw = "=?UTF-8?B?" + utf8.first(2).toBase64() + "?=\r\n =?UTF-8?B?" +
                           utf8.sliced(2).toBase64() + "?=";
    EXPECT_EQ(decodeHeaderText(raw), QStringLiteral("髙橋"));
    EXPECT_EQ(decodeHeaderText("=?utf-8?q?a?= =?utf-8?q?b?=  c"), QStringLiteral("ab  c"));
}

TEST(MimeHeader, RawEightBitHeadersAndMalformedWords) {
    EXPECT_EQ(decodeHeaderText(japaneseIn("Shift_JIS")), kJapanese);
    EXPECT_EQ(decodeHeaderText(japaneseIn("UTF-8")), kJapanese);
    EXPECT_EQ(decodeHeaderText("=?broken"), QStringLiteral("=?broken"));
    EXPECT_EQ(decodeHeaderText("=?utf-8?x?abc?="), QStringLiteral("=?utf-8?x?abc?="));
}

TEST(MimeHeader, SenderWithAndWithoutName) {
    EXPECT_EQ(decodeSender("=?ISO-2022-JP?B?" + japaneseIn("ISO-2022-JP").toBase64() +
                           "?= <taka@example.jp>"),
              kJapanese + QStringLiteral(" <taka@example.jp>"));
    EXPECT_EQ(decodeSender("\"Suzuki, Ichiro\" <ichiro@example.jp>"),
              QStringLiteral("\"Suzuki, Ichiro\" <ichiro@example.jp>"))
        << "the quotes keep the name one recipient of a reply";
    EXPECT_EQ(decodeSender("plain@example.jp"), QStringLiteral("plain@example.jp"));
    EXPECT_EQ(decodeSender("old@example.jp (Old Style)"),
              QStringLiteral("Old Style <old@example.jp>"));
}

TEST(MimeHeader, FieldsAreFoundUnfoldedAndCaseInsensitive) {
    const QByteArray header = "Received: x\r\nsubject: first\r\n  second\r\nX-Subject: no\r\n";
    EXPECT_EQ(headerField(header, "Subject"), QByteArray("first  second"));
    EXPECT_EQ(headerField(header, "From"), QByteArray());
}

TEST(MimeParameters, Rfc2231WithContinuationsAndCharsets) {
    const QByteArray encoded = QByteArray("%E8%B3%87%E6%96%99");  // 資料 in UTF-8
    const ParameterField field = parseParameterField("attachment;\r\n filename*0*=UTF-8''" +
                                                     encoded + ";\r\n filename*1=\".txt\"");
    EXPECT_EQ(field.value, QByteArray("attachment"));
    EXPECT_EQ(field.parameter("filename"), QStringLiteral("資料.txt"));

    const QByteArray jis = japaneseIn("ISO-2022-JP").toPercentEncoding();
    EXPECT_EQ(parseParameterField("inline; filename*=iso-2022-jp'ja'" + jis).parameter("filename"),
              kJapanese);
}

TEST(MimeParameters, QuotedNamesWithEncodedWordsOrRawBytes) {
    const ParameterField type =
        parseParameterField("Application/Octet-Stream; name=\"=?ISO-2022-JP?B?" +
                            japaneseIn("ISO-2022-JP").toBase64() + "?=.pdf\"; x=\"a;b\"");
    EXPECT_EQ(type.value, QByteArray("application/octet-stream"));
    EXPECT_EQ(type.parameter("name"), kJapanese + QStringLiteral(".pdf"));
    EXPECT_EQ(type.parameter("x"), QStringLiteral("a;b"));
    EXPECT_EQ(parseParameterField("attachment; filename=\"" + japaneseIn("Shift_JIS") + ".doc\"")
                  .parameter("filename"),
              kJapanese + QStringLiteral(".doc"));
}

}  // namespace
