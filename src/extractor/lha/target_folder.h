#pragma once

#include <QStringView>

// True when `target` may take the entries of `archive`: a folder below the archive's own
// folder (named with the same folder in front, then names without "." or ".."), reached
// through no link, and either missing, to be created, or one that the user owns. Any other
// target could put files into the archive's folder, above it, or into someone else's.
bool isSafeTarget(QStringView archive, QStringView target);
