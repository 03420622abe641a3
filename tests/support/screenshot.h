#pragma once

#include <QDir>
#include <QString>

#include <functional>

class QWidget;

// The main() of a program that draws windows for docs/screenshots: starts Qt on the
// offscreen platform (unless one is chosen), takes the output folder from the command
// line and runs `draw` with it. Returns the program's exit code.
int runScreenshotProgram(int argc, char** argv,
                         const std::function<bool(const QDir& output)>& draw);

// Shows `window`, lets it paint and saves it as `name` in `output`; false, with a message,
// when the file cannot be written.
bool saveScreenshot(QWidget& window, const QDir& output, const QString& name);
