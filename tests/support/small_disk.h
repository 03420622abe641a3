#pragma once

#include <QString>

// The small disk of its own that on_small_disk.sh mounted for the test program; empty when
// the program was not started by it.
QString smallDisk();

// Writes into `path` until the disk takes no more: the bytes written, -1 when the file
// cannot be made.
qint64 fillDisk(const QString& path);
