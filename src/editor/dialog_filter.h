#pragma once

#include <QString>
#include <QStringView>

// Turns a file-dialog filter written as "description|patterns|description|patterns" (patterns
// separated by ";") into the form Qt's dialogs take. "*.*" means every file, as on Windows.
QString qtFileFilter(QStringView filter);
