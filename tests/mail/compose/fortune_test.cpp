#include <gtest/gtest.h>

#include <QList>

#include <array>

#include "fortune.h"

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

    // One draw from the start of each run gives each text once.
    QList<int> drawn;
    for (quint32 run = 0; run < kFortuneCount; ++run) {
        drawn.append(drawFortuneIndex([run] { return run * (kDrawRange / kFortuneCount); }));
    }
    EXPECT_EQ(drawn, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

TEST(Fortune, TheClockSeededDrawStaysInTheTable) {
    for (int i = 0; i < 200; ++i) {
        const int index = drawFortuneFromClock();
        ASSERT_GE(index, 1);
        ASSERT_LE(index, kFortuneCount);
    }
}

TEST(Fortune, TableRanksAndTheTextAppended) {
    QList<int> ranks(4);
    const QStringList rankNames{QStringLiteral("大吉："), QStringLiteral("中吉："),
                                QStringLiteral("吉："), QStringLiteral("凶：")};
    for (int index = 1; index <= kFortuneCount; ++index) {
        for (int r = 0; r < rankNames.size(); ++r) {
            if (fortuneText(index).startsWith(rankNames[r])) {
                ++ranks[r];
                break;
            }
        }
    }
    EXPECT_EQ(ranks, (QList<int>{3, 5, 2, 2}));
    EXPECT_TRUE(fortuneText(7).endsWith(QStringLiteral("ニンマリ！\u3000")));
    EXPECT_TRUE(fortuneFooter().startsWith(QStringLiteral("★★★\u3000この占いは Quillpost")));

    EXPECT_EQ(withFortune(QStringLiteral("本文"), 12),
              QStringLiteral("本文\r\n\r\n") + fortuneFooter() + QStringLiteral("\r\n\r\n") +
                  QStringLiteral(
                      "凶：言動慎むべし。最大の配慮がなければ、運気、万事下降するおそれ有り。"));
}

}  // namespace
