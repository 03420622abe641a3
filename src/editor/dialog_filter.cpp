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
        // A description that already ends in its patterns, as "テキスト(*.txt)", is what
        // the dialog reads them from; only patterns that differ from it are added.
        const QString description = parts[i].toString();
        const QString ownPatterns = QStringLiteral("(") + patterns.join(u' ') + u')';
        entries.append(description.endsWith(ownPatterns) ? description
                                                         : description + u' ' + ownPatterns);
    }
    return entries.join(QStringLiteral(";;"));
}
