#include "transport/gmime_support.h"

#include "transport/mail_date.h"

#include <QDateTime>

#include "transport/header_text.h"

namespace {

struct GDateTimeUnref {
    void operator()(GDateTime* time) const { g_date_time_unref(time); }
};

}  // namespace

QString localMailDate(const QByteArray& dateField, const QTimeZone& zone) {
    useGMime();
    // GMime reads the obsolete forms as well: two-digit years, zone names such as JST or
    // GMT, comments after the zone.
    const QByteArray trimmed = dateField.trimmed();
    const std::unique_ptr<GDateTime, GDateTimeUnref> parsed(
        trimmed.isEmpty() ? nullptr : g_mime_utils_header_decode_date(trimmed.constData()));
    if (!parsed) {
        return decodeHeaderText(dateField);
    }
    return QDateTime::fromSecsSinceEpoch(g_date_time_to_unix(parsed.get()), zone)
        .toString(QStringLiteral("yyyy/MM/dd HH:mm"));
}
