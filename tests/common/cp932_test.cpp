#include <gtest/gtest.h>

#include "cp932.h"

namespace {

QByteArray hex(const char* h) {
    return QByteArray::fromHex(h);
}

TEST(Cp932, EncodesTheWindowsTableIncludingNecAndIbmExtensions) {
    EXPECT_EQ(encodeCp932(u"abc"), QByteArray("abc"));
    EXPECT_EQ(encodeCp932(u"あ"), hex("82a0"));
    EXPECT_EQ(encodeCp932(u"①"), hex("8740"));  // NEC row 13
    EXPECT_EQ(encodeCp932(u"㈱"), hex("878a"));
    EXPECT_EQ(encodeCp932(u"髙"), hex("fbfc"));  // IBM extension
    EXPECT_EQ(encodeCp932(u"ｶﾀｶﾅ"), hex("b6c0b6c5"));
    EXPECT_EQ(encodeCp932(u"\\~"), QByteArray("\\~"));
}

TEST(Cp932, MapsTheJisFormsOfIsoDecodersOntoTheCodePage) {
    // What a JIS X 0208 decoder yields for wave dash, double bar, minus and the signs.
    EXPECT_EQ(encodeCp932(u"\u301c\u2016\u2212\u00a2\u00a3\u00ac"),
              hex("81608161817c8191819281ca"));
}

TEST(Cp932, UnencodableCharactersBecomeOneQuestionMarkEach) {
    EXPECT_EQ(encodeCp932(u"a😀b"), QByteArray("a?b"));
    EXPECT_EQ(encodeCp932(u"한글"), QByteArray("??"));
    const char16_t loneSurrogate[] = {u'x', 0xD800, u'y', 0};
    EXPECT_EQ(encodeCp932(loneSurrogate), QByteArray("x?y"));
    const char16_t trailingSurrogate[] = {u'x', 0xD800, 0};
    EXPECT_EQ(encodeCp932(trailingSurrogate), QByteArray("x?"));
}

TEST(Cp932, DecodesAndRoundTrips) {
    const QString text = QStringLiteral("髙橋①㈱ｶﾞｲﾄﾞ～テスト\r\n");
    EXPECT_EQ(decodeCp932(encodeCp932(text)), text);
    EXPECT_EQ(decodeCp932(QByteArray()), QString());
    // The trail byte of ① is "@": padding after it must not split the character.
    EXPECT_EQ(decodeCp932(hex("8740") + "  "), QStringLiteral("①  "));
}

TEST(Cp932, InvalidBytesDecodeAsReplacementCharacters) {
    EXPECT_EQ(decodeCp932(hex("41 80 42")), QStringLiteral("A\uFFFDB"));
    EXPECT_EQ(decodeCp932(hex("41 82")), QStringLiteral("A\uFFFD"));  // lead byte at the end
}

// The converters are kept open between calls: nothing of one text carries into the next.
TEST(Cp932, TextAfterTextConvertsAlike) {
    EXPECT_EQ(decodeCp932(hex("41 82")), QStringLiteral("A\uFFFD"));
    EXPECT_EQ(decodeCp932(hex("82a0") + "b"), QStringLiteral("あb"));
    EXPECT_EQ(decodeCp932("plain"), QStringLiteral("plain"));
    EXPECT_EQ(decodeCp932(hex("8740") + "  "), QStringLiteral("①  "));
    EXPECT_EQ(encodeCp932(u"あ\U0001F600"), hex("82a0") + "?");
    EXPECT_EQ(encodeCp932(u"①い"), hex("8740 82a2"));
}

TEST(Cp932, FitPadsShortTextWithSpaces) {
    EXPECT_EQ(fitCp932Field(u"ab", 5), QByteArray("ab   "));
    EXPECT_EQ(fitCp932Field(u"あ", 4), hex("82a0") + "  ");
    EXPECT_EQ(fitCp932Field(u"", 3), QByteArray("   "));
}

TEST(Cp932, FitCutsAtTheWidthButNeverInsideADoubleByteCharacter) {
    EXPECT_EQ(fitCp932Field(u"abcdef", 4), QByteArray("abcd"));
    // "aあい" is 5 bytes; a cut at 4 would split "い": its first byte becomes a space.
    EXPECT_EQ(fitCp932Field(u"aあい", 4), QByteArray("a") + hex("82a0") + " ");
    EXPECT_EQ(fitCp932Field(u"aあい", 5), QByteArray("a") + hex("82a082a2"));
    // Half-width katakana are single bytes.
    EXPECT_EQ(fitCp932Field(u"ｱｲｳｴ", 3), hex("b1b2b3"));
    // 60 double-byte characters keep their first 50 (100 bytes).
    const QByteArray cut = fitCp932Field(QString(60, QChar(u'髙')), 100);
    EXPECT_EQ(cut, hex("fbfc").repeated(50));
    EXPECT_EQ(fitCp932Field(u"①㈱", 3), hex("8740") + " ");
}

}  // namespace
