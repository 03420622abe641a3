#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Milliseconds that `work` takes, the best of `runs` runs (the least disturbed one).
double bestOfMs(int runs, const std::function<void()>& work);

// Milliseconds that a command takes, the best of `runs` runs; output is discarded.
double commandMs(int runs, const QString& program, const QStringList& arguments);

// Drops the page cache when allowed (root), so that runs start alike; false otherwise.
bool dropPageCache();
