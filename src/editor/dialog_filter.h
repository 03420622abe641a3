#pragma once

#include <QString>
#include <QStringView>

// Turns a file-dialog filter written as "description|patterns|description|patterns" (patterns
// separated by ";") into the form Qt's dialogs take. A description that ends in its own
// patterns, as "テキストファイル(*.txt)", is passed as it reads; any other gets its patterns
// added in parentheses, where the dialog reads them from.
QString qtFileFilter(QStringView filter);
