#pragma once

#include <QString>
#include <QStringList>

// The "drives" of the drive list: the mounted volumes, the root of the file system first
// and the others by path.
QStringList mountedVolumeRoots();

// True when the folder exists on a ready volume and can be listed.
bool isFolderReady(const QString& path);
