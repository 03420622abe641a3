#pragma once

#include <QString>

// The file a replacement of `path` is to write: where a chain of symbolic links ends (an
// editor saves into the file a link names, and leaves the link in place), or `path` itself
// when it is no link. A chain that never ends gives `path`.
QString linkTarget(const QString& path);
