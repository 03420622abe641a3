#include "dialog_filter.h"

#include <QStringList>

QString qtFileFilter(QStringView filter) {
    const auto parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const auto& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            patterns.append(pattern == u"*.*" ? QStringLiteral("*") : pattern.toString());
        }
        entries.append(parts[i].toString() + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return entries.join(QStringLiteral(";;"));
}
