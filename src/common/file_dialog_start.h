#pragma once

#include <QString>

#include <optional>

// What the file dialogs of one run of a program remember between showings.
struct FileDialogMemory {
    // The folder the first dialog of the run was asked to start in: the program's usual place.
    std::optional<QString> usualFolder;
    // The folder of the file the user last chose.
    QString lastFolder;
};

// What a dialog is asked to start at: a folder, or for saving also a folder and a proposed
// file name.
enum class FileDialogAsk { Folder, FolderOrProposedFile };

// Where a file dialog asked to start at `asked` starts, as the Windows common dialogs do:
// the last folder chosen when the dialog is asked for the program's usual place, else the
// asked folder when it exists, else the user's home; a proposed file name is kept. Never a
// relative or missing folder. The first call of a run makes its folder the usual place.
QString fileDialogStart(FileDialogMemory& memory, const QString& asked, FileDialogAsk ask);

// Notes the folder of `chosenFile`; an empty choice (cancelled) changes nothing.
void rememberFileDialogChoice(FileDialogMemory& memory, const QString& chosenFile);
