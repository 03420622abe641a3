#pragma once

#include <QByteArray>
#include <QString>
#include <QTimeZone>

// The date of a received mail as a Japanese reader reads it, in the form the sent history
// uses: "2026/12/09 14:09" in `zone` (the computer's own by default). A Date field no
// reader can make sense of is kept as it stands, so that nothing the sender wrote is lost.
QString localMailDate(const QByteArray& dateField,
                      const QTimeZone& zone = QTimeZone::systemTimeZone());
