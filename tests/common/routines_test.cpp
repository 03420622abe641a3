#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <ctime>

#include "clock.h"
#include "fake_clock.h"
#include "routines.h"
#include "show_in_place.h"

namespace {

TEST(StripAtNul, CutsAtTheFirstNulOnly) {
    EXPECT_EQ(StripAtNul(u"abc"), QStringLiteral("abc"));
    EXPECT_EQ(StripAtNul(QStringView(u"ab\0c\0d", 6)), QStringLiteral("ab"));
    EXPECT_EQ(StripAtNul(QStringView(u"\0abc", 4)), QString());
    EXPECT_EQ(StripAtNul(u""), QString());
}

TEST(NumericValue, ReadsTheLeadingNumberRoundedHalfToEven) {
    EXPECT_EQ(numericValue16(u" 1"), 1);
    EXPECT_EQ(numericValue16(u"   0"), 0);
    EXPECT_EQ(numericValue16(u"2.5"), 2);
    EXPECT_EQ(numericValue16(u"1.5x"), 2);
    EXPECT_EQ(numericValue16(u"-3"), -3);
    EXPECT_EQ(numericValue16(u"1e2"), 100);
    EXPECT_EQ(numericValue16(u"99999"), 32767);
    EXPECT_EQ(numericValue16(u""), 0);
    EXPECT_EQ(numericValue16(u"x1"), 0);
    EXPECT_EQ(numericValue16(u"１２"), 0);  // full-width digits are not a number
}

TEST(TrimSpaces, RemovesOnlyAsciiSpacesAtBothEnds) {
    EXPECT_EQ(TrimSpaces(u"  a b  "), QStringLiteral("a b"));
    EXPECT_EQ(TrimSpaces(u" \u3000名前\u3000 "), QStringLiteral("\u3000名前\u3000"));
    EXPECT_EQ(TrimSpaces(u"\r\nbody\r\n "), QStringLiteral("\r\nbody\r\n"));
    EXPECT_EQ(TrimSpaces(u"   "), QString());
}

TEST(WaitMs, ReturnsAfterMoreThanTheTimeProcessingEventsWithoutSpinning) {
    SteadyClock clock;
    bool timerFired = false;
    QTimer::singleShot(20, [&] { timerFired = true; });
    QElapsedTimer wall;
    wall.start();
    const std::clock_t cpuBefore = std::clock();
    WaitMs(clock, 300);
    const double cpuMs = 1000.0 * double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    EXPECT_GT(wall.elapsed(), 300);
    EXPECT_TRUE(timerFired);
    // A busy loop would burn the whole 300 ms.
    EXPECT_LT(cpuMs, 100.0);
}

TEST(WaitMs, RunsOnTheFakeClockWithEventsDeliveredDuringThePause) {
    FakeClock clock;
    QList<qint64> seen;
    const qint64 start = clock.nowMs();
    clock.at(start + 3000, [&] { seen.append(clock.nowMs() - start); });
    WaitMs(clock, 6000);
    EXPECT_EQ(seen, QList<qint64>{3000});
    EXPECT_GT(clock.nowMs() - start, 6000);
    WaitMs(clock, 0);
    EXPECT_GT(clock.nowMs() - start, 6001);
}

TEST(ShowInPlace, ShowsOneWindowWhereTheOtherWasAndHidesTheOther) {
    QWidget main;
    QWidget compose;
    compose.move(140, 90);
    compose.show();
    ShowInPlace(main, compose);
    EXPECT_EQ(main.pos(), QPoint(140, 90));
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(compose.isVisible());
}

}  // namespace
