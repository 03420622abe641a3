#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

class QPrinter;
class QWidget;

// The desktop seam: everything that asks the user something or hands work to another
// program. The real one is QtDesktop; tests answer from a script.
class Desktop {
  public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Icon { None, Information, Question, Exclamation, Critical };
    enum class Answer { Ok, Cancel, Yes, No };

    struct PrintChoice {
        bool accepted = false;
        bool selectionOnly = false;
        int copies = 1;
    };

    virtual ~Desktop() = default;

    // A message box; an empty title means the program's name, as Windows shows it.
    virtual Answer message(QWidget* parent, const QString& text, const QString& title = {},
                           Buttons buttons = Buttons::Ok, Icon icon = Icon::None) = 0;
    // A question with buttons of its own; the index of the chosen one, -1 when closed.
    // `safeChoice`, when given, is the default button and what Escape or closing the box
    // chooses, so a key pressed in haste does the harmless thing.
    virtual int choose(QWidget* parent, const QString& text, const QString& title,
                       const QStringList& choices, int safeChoice = -1) = 0;
    // File dialogs; an empty result means cancelled. `filter` is in Qt's form
    // ("Text (*.txt);;All (*)").
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& folder,
                                 const QString& filter) = 0;
    // The print dialog: sets up `printer` (leaving one copy per job to the caller).
    virtual PrintChoice print(QWidget* parent, QPrinter& printer, bool selectionAvailable) = 0;
    // Starts a program by path, without arguments and without waiting for it.
    virtual bool startProgram(const QString& path) = 0;
    // Opens an address in the user's browser or a file with the system's program.
    virtual bool openUrl(const QUrl& url) = 0;
};
