#include "exit_settings.h"

#include <QSettings>

void writeExitSettings(QSettings& settings) {
    for (const QString& section : {QStringLiteral("HIST"), QStringLiteral("OKINI")}) {
        settings.setValue(section + QStringLiteral("/0"), QStringLiteral("EMPTY"));
        settings.remove(section);
    }
    settings.setValue(QStringLiteral("FLAG/AUTOSAVE"), QString());
    settings.sync();
}
