#include "dialog_filter.h"

#include <QStringList>

QString qtFileFilter(QStringView filter) {
    const auto parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].toString();
        QStringList patterns;
        for (const auto& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            patterns.append(pattern.toString());
        }
        const QString own = u'(' + patterns.join(u' ') + u')';
        entries.append(description.endsWith(own) ? description : description + u' ' + own);
    }
    return entries.join(QStringLiteral(";;"));
}
