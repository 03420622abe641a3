#pragma once

#include <QString>
#include <QStringView>

class Clock;
class QTimer;

// The text before the first NUL character, or the whole text when it holds none.
QString StripAtNul(QStringView text);

// `text` without the spaces (U+0020 only) at both ends; other white space is kept.
QString TrimSpaces(QStringView text);

// The numeric value that starts `text` (leading blanks skipped; a sign, digits, a decimal
// point and an exponent), 0 when there is none, rounded half to even into 16 bits
// (clamped at the ends of the range).
qint16 numericValue16(QStringView text);

// Returns once more than `ms` milliseconds have passed on `clock`, processing events
// meanwhile (clicks and timer ticks are handled during the pause).
void WaitMs(Clock& clock, qint32 ms);

// Sets a timer's interval as a window timer's is set: 0 stops it, any other value runs it
// at that interval.
void SetTimerInterval(QTimer& timer, int ms);
