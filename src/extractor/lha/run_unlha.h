#pragma once

#include <QByteArrayView>

#include "lha_extract.h"

// One command line of the `Unlha` entry point (see unlha_command.h), run to the end.
// libarchive converts entry names through the C library's character set, so the work runs
// under a UTF-8 locale for this thread whatever the process's own locale is.
UnlhaOutcome runUnlha(QByteArrayView commandLine);
