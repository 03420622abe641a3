#pragma once

#include <QString>
#include <QtGlobal>

// What a result of the LHA module means for the user, in one line: what happened and what
// to do about it. A code the module does not give gets a general line.
QString unlhaResultInWords(qint32 result);
