#pragma once

#include <QFileDialog>
#include <QString>

// Sets up a file dialog as the programs show it: Qt's own dialog rather than the desktop's
// (whose start-up goes through D-Bus, a portal or GTK, and whose file list cannot be told
// that "*.*" means every file), listing every file for a "*.*" filter as on Windows.
void setUpFileDialog(QFileDialog& dialog);

// Runs a dialog set up by setUpFileDialog; the chosen file, empty when cancelled.
QString runFileDialog(QFileDialog& dialog);
