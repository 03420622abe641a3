#pragma once

#include <QStringView>

// Whole-name match of a keyword against a file name, as Windows looks names up: letter
// case does not count; "*" stands for any run of characters and "?" for one, except that
// "*.*" and "abc.*" also take names without a dot, "?" before a dot or at the end may
// stand for nothing, and a "*" before a dot stops at the name's last dot.
bool matchesFileName(QStringView keyword, QStringView name);
