#include "dialog_filter.h"

#include <QStringList>

QString qtFileFilter(QStringView filter) {
    const auto parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].toString();
        const QString patterns =
            QStringLiteral("(") + parts[i + 1].split(u';', Qt::SkipEmptyParts).join(u' ') + u')';
        entries.append(description.endsWith(patterns) ? description
                                                      : description + u' ' + patterns);
    }
    return entries.join(QStringLiteral(";;"));
}
