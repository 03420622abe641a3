#pragma once

#include <QString>

#include <functional>

// The fortune a friend's mail can carry: a footer line and one of twelve texts, each text
// drawn with the same chance.

inline constexpr int kFortuneCount = 12;

QString fortuneFooter();
// Text `index`, 1 to kFortuneCount.
QString fortuneText(int index);
// `body`, a blank line, the footer, a blank line and text `index` (CR LF line ends).
QString withFortune(const QString& body, int index);

// A draw is a 24-bit random value, the fraction draw / 2^24 in single precision. The
// first 12 × 1398101 values map onto the twelve texts in equal runs (index 1 first); the
// last four would favour the first texts and give 0: the caller draws again.
int fortuneIndexFor(quint32 draw24);
// Draws from `nextDraw24` (only its low 24 bits count) until a value maps onto a text.
int drawFortuneIndex(const std::function<quint32()>& nextDraw24);
// One fortune index from a generator seeded anew from the system clock.
int drawFortuneFromClock();
