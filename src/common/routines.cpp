#include "routines.h"

#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <cmath>

#include "clock.h"

QString StripAtNul(QStringView text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return (nul < 0 ? text : text.left(nul)).toString();
}

QString TrimSpaces(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ') {
        ++begin;
    }
    while (end > begin && text[end - 1] == u' ') {
        --end;
    }
    return text.sliced(begin, end - begin).toString();
}

qint16 numericValue16(QStringView text) {
    static const QRegularExpression number(
        QStringLiteral(R"(^[ \t]*([+-]?(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eEdD][+-]?[0-9]+)?))"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch()) {
        return 0;
    }
    QString digits = match.captured(1);
    digits.replace(u'd', u'e').replace(u'D', u'e');
    const double rounded = std::nearbyint(digits.toDouble());
    return static_cast<qint16>(std::clamp(rounded, -32768.0, 32767.0));
}

void WaitMs(Clock& clock, qint32 ms) {
    const qint64 start = clock.nowMs();
    for (qint64 elapsed = 0; elapsed <= ms; elapsed = clock.nowMs() - start) {
        clock.waitForEvents(ms - elapsed + 1);
    }
}

void SetTimerInterval(QTimer& timer, int ms) {
    if (ms <= 0) {
        timer.stop();
        timer.setInterval(0);
    } else {
        timer.start(ms);
    }
}
