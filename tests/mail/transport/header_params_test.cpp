#include <gtest/gtest.h>

#include "cp932.h"
#include "test_mails.h"
#include "transport/header_params.h"

namespace {

// Each of ソ, 表 and 能 has 0x5C, the backslash, as its second byte in code page 932.
const QString kBackslashTrails = QStringLiteral("ソ表能①");

TEST(MimeParametersCp932, RawNamesKeepBackslashTrailBytes) {
    const QByteArray name = encodeCp932(kBackslashTrails);
    const QString expected = kBackslashTrails + QStringLiteral(".txt");
    EXPECT_EQ(parseParameterField("attachment; filename=\"" + name + ".txt\"; size=3")
                  .parameter("filename"),
              expected);
    const ParameterField type =
        parseParameterField("text/plain; name=\"" + name + ".txt\"; charset=shift_jis");
    EXPECT_EQ(type.parameter("name"), expected);
    EXPECT_EQ(type.parameter("charset"), QStringLiteral("shift_jis"));
    EXPECT_EQ(parseParameterField("attachment; filename=" + name + ".txt").parameter("filename"),
              expected);
    // A backslash of its own still escapes the next character.
    EXPECT_EQ(
        parseParameterField("attachment; filename=\"" + encodeCp932(u"表") + "\\\"1\\\".txt\"")
            .parameter("filename"),
        QStringLiteral("表\"1\".txt"));
}

TEST(MimeParametersCp932, Rfc2231FormsKeepBackslashTrailBytes) {
    const QByteArray name = encodeCp932(kBackslashTrails);
    EXPECT_EQ(
        parseParameterField("attachment; filename*=shift_jis''" + name.toPercentEncoding() + ".txt")
            .parameter("filename"),
        kBackslashTrails + QStringLiteral(".txt"));
    EXPECT_EQ(parseParameterField("attachment; filename*0=\"" + name + "\"; filename*1=\".txt\"")
                  .parameter("filename"),
              kBackslashTrails + QStringLiteral(".txt"));
    EXPECT_EQ(parseParameterField("attachment; filename*=\"shift_jis''" + name + ".txt\"")
                  .parameter("filename"),
              kBackslashTrails + QStringLiteral(".txt"));
}

}  // namespace
