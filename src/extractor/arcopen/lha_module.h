#pragma once

#include <QByteArray>
#include <QLibrary>
#include <QString>

class QWidget;

// The LHA extraction module, loaded at run time. Its file is the build's
// LHA_MODULE_FILE_NAME ("unlha32.so" here, "unlha32.dll" on Windows), looked up beside
// Arcopen first and then along the platform's library search path.
class LhaModule {
  public:
    // The exported entry point: owner window, command line (code page 932), output buffer
    // and its size; 0 on success, a failure code otherwise.
    using UnlhaFunction = qint32 (*)(void*, const char*, char*, quint32);

    // False when the module is not found or lacks the entry point.
    bool load(const QString& folder);
    // Runs one command line; the call returns when the archive is done. On failure,
    // `detail` receives what the module names as failed (a file and the system's reason).
    qint32 Unlha(QWidget* owner, const QByteArray& commandLine, QString* detail);

  private:
    QLibrary library_;
    UnlhaFunction unlha_ = nullptr;
};
