#pragma once

#include <QString>
#include <QStringView>

class Clock;
class QWidget;

// The text before the first NUL character, or the whole text when it holds none.
QString StripAtNul(QStringView text);

// Returns once more than `ms` milliseconds have passed on `clock`, processing events
// meanwhile (clicks and timer ticks are handled during the pause).
void WaitMs(Clock& clock, qint32 ms);

// Moves `toShow` to the top-left position of `toHide`, shows it and hides `toHide`.
void ShowInPlace(QWidget& toShow, QWidget& toHide);
