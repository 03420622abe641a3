#include <gtest/gtest.h>

#include "cp932.h"
#include "test_mails.h"
#include "transport/header_text.h"

namespace {

QByteArray jisWord(const QByteArray& hex) {
    return "=?ISO-2022-JP?B?" + QByteArray::fromHex(hex).toBase64() + "?=";
}

// kJapanese in ISO-2022-JP: ①㈱髙, then ｱｲｳ in the katakana set, then 漢字.
constexpr char kFirstHalf[] = "1b24422d212d6a7c621b2849313233";
constexpr char kSecondHalf[] = "1b244234413b7a1b2842";

TEST(MimeHeaderJis, EachCompleteWordIsDecodedOnItsOwn) {
    // As long subjects are sent: every word switches back to ASCII before it ends.
    const QByteArray subject = jisWord(QByteArray(kFirstHalf) + "1b2842") + "\r\n " +
                               jisWord(kSecondHalf) + "\r\n " + jisWord(kSecondHalf);
    const QString expected = kJapanese + QStringLiteral("漢字");
    EXPECT_EQ(decodeHeaderText(subject), expected);
    EXPECT_FALSE(encodeCp932(decodeHeaderText(subject)).contains('?'));
}

TEST(MimeHeaderJis, WordsThatLeaveTheirSetOpen) {
    // The last word lacks the final ESC ( B.
    EXPECT_EQ(decodeHeaderText(jisWord(QByteArray(kFirstHalf) + "1b2842") + " " +
                               jisWord("1b244234413b7a")),
              kJapanese);
    // A word ends in kanji and the next goes on in kanji without an escape.
    EXPECT_EQ(decodeHeaderText(jisWord("1b244234413b7a") + " " + jisWord("34413b7a1b2842")),
              QStringLiteral("漢字漢字"));
    // The katakana set left open by the first half goes on into the next word.
    EXPECT_EQ(decodeHeaderText(jisWord(kFirstHalf) + " " + jisWord("34")),
              QStringLiteral("①㈱髙ｱｲｳｴ"));
}

TEST(MimeHeaderJis, CharactersAndEscapesCutBetweenWordsAreJoined) {
    EXPECT_EQ(decodeHeaderText(jisWord("1b244234413b") + " " + jisWord("7a1b2842")),
              QStringLiteral("漢字"));
    EXPECT_EQ(decodeHeaderText(jisWord("1b24") + " " + jisWord("4234413b7a1b2842")),
              QStringLiteral("漢字"));
    // A character the words never finish is marked.
    EXPECT_EQ(decodeHeaderText(jisWord("1b2442344134") + " x"),
              QStringLiteral("漢") + QChar(QChar::ReplacementCharacter) + QStringLiteral(" x"));
}

TEST(MimeHeader, HostileShapesComeBackAsTheyAre) {
    for (const QByteArray& unit :
         {QByteArray("=?a b?x?y "), QByteArray("=?"), QByteArray("=?x?b?"), QByteArray("?=")}) {
        const QByteArray raw = unit.repeated(2000).trimmed();
        EXPECT_EQ(decodeHeaderText(raw), QString::fromLatin1(raw)) << unit.constData();
    }
    const QByteArray unterminated = "=?utf-8?b?" + QByteArray("QUJD").repeated(5000);
    EXPECT_EQ(decodeHeaderText(unterminated), QString::fromLatin1(unterminated));
    // A good word after a run of broken ones is still found.
    EXPECT_EQ(decodeHeaderText(QByteArray("=?a b?x?y ").repeated(500) + "=?utf-8?q?ok?="),
              QString::fromLatin1(QByteArray("=?a b?x?y ").repeated(500)) + QStringLiteral("ok"));
    EXPECT_EQ(decodeHeaderText("=?=?utf-8?q?ok?="), QStringLiteral("=?ok"));
}

}  // namespace
