#include <gtest/gtest.h>

#include <QList>

#include <array>

#include "send/fortune.h"

namespace {

constexpr quint32 kDrawRange = 1u << 24;

TEST(Fortune, EveryTextCoversTheSameNumberOfDraws) {
    std::array<quint32, kFortuneCount + 1> hits{};
    for (quint32 draw = 0; draw < kDrawRange; ++draw) {
        ++hits[fortuneIndexFor(draw)];
    }
    EXPECT_EQ(hits[0], kDrawRange % kFortuneCount) << "only the uneven remainder is drawn again";
    for (int index = 1; index <= kFortuneCount; ++index) {
        EXPECT_EQ(hits[index], kDrawRange / kFortuneCount) << index;
    }
    EXPECT_EQ(fortuneIndexFor(0), 1);
    EXPECT_EQ(fortuneIndexFor(kDrawRange - 5), kFortuneCount);
    EXPECT_EQ(fortuneIndexFor(kDrawRange - 1), 0);
}

TEST(Fortune, DrawingSkipsTheRemainderAndUsesOnlyTwentyFourBits) {
    QList<quint32> sequence{kDrawRange - 1, kDrawRange - 4, kDrawRange + 0};
    int used = 0;
    const auto next = [&] { return sequence.at(used++); };
    EXPECT_EQ(drawFortuneIndex(next), 1);
    EXPECT_EQ(used, 3);
}

TEST(Fortune, TheClockSeededDrawStaysInTheTable) {
    for (int i = 0; i < 200; ++i) {
        const int index = drawFortuneFromClock();
        ASSERT_GE(index, 1);
        ASSERT_LE(index, kFortuneCount);
    }
}

TEST(Fortune, TheTextFollowsTheBodyAfterTheFooter) {
    EXPECT_EQ(withFortune(QStringLiteral("本文"), 12),
              QStringLiteral("本文\r\n\r\n") + fortuneFooter() + QStringLiteral("\r\n\r\n") +
                  QStringLiteral(
                      "凶：言動慎むべし。最大の配慮がなければ、運気、万事下降するおそれ有り。"));
}

}  // namespace
