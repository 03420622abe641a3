#pragma once

#include <QString>
#include <QStringView>

// Folder of the running executable.
QString programFolder();

// The application folder of the running program, whose executable lies in `subfolder` of
// the suite's folder (empty for all but Arcopen, which lies in "data"). A program keeps
// its data beside itself; when that folder is an installed copy, in the user's own copy
// of it instead, which is filled from the installed one at every start.
QString applicationFolder(QStringView subfolder = {});

// Turns a path literal such as "\★MAilData\qsmdata2.data" into a native path under
// `folder`. Each component is matched against what exists without regard to letter case,
// so the literal's spelling does not have to match the installed folders'. Components
// that do not exist keep the literal's spelling; a trailing backslash is kept as "/".
QString appPath(const QString& folder, QStringView literal);

// Like appPath, for a companion program named with ".exe" ("\data\Arcopen.exe"): off
// Windows the built executable has no extension.
QString programPath(const QString& folder, QStringView literal);
