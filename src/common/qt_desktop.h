#pragma once

#include "desktop.h"
#include "file_dialog_start.h"

class QFileDialog;

// The desktop seam over Qt's dialogs, QProcess and QDesktopServices. Its file dialogs
// remember the folder last chosen for as long as the object lives (one run of a program).
class QtDesktop final : public Desktop {
  public:
    Answer message(QWidget* parent, const QString& text, const QString& title, Buttons buttons,
                   Icon icon) override;
    int choose(QWidget* parent, const QString& text, const QString& title,
               const QStringList& choices, int safeChoice = -1) override;
    QString openFileName(QWidget* parent, const QString& title, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& title, const QString& folder,
                         const QString& filter) override;
    PrintChoice print(QWidget* parent, QPrinter& printer, bool selectionAvailable) override;
    bool startProgram(const QString& path) override;
    bool openUrl(const QUrl& url) override;

  private:
    QString chosenFile(QFileDialog& dialog);

    FileDialogMemory fileDialogs_;
};
