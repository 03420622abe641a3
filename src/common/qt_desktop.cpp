#include "qt_desktop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>

#include "file_dialog.h"

namespace {

QString titleOrProgramName(const QString& title) {
    return title.isEmpty() ? QApplication::applicationName() : title;
}

QMessageBox::Icon toQtIcon(Desktop::Icon icon) {
    switch (icon) {
        case Desktop::Icon::Information:
            return QMessageBox::Information;
        case Desktop::Icon::Question:
            return QMessageBox::Question;
        case Desktop::Icon::Exclamation:
            return QMessageBox::Warning;
        case Desktop::Icon::Critical:
            return QMessageBox::Critical;
        case Desktop::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQtButtons(Desktop::Buttons buttons) {
    switch (buttons) {
        case Desktop::Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case Desktop::Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Desktop::Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case Desktop::Buttons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

}  // namespace

Desktop::Answer QtDesktop::message(QWidget* parent, const QString& text, const QString& title,
                                   Buttons buttons, Icon icon) {
    QMessageBox box(toQtIcon(icon), titleOrProgramName(title), text, toQtButtons(buttons), parent);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        default:
            return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
}

int QtDesktop::choose(QWidget* parent, const QString& text, const QString& title,
                      const QStringList& choices, int safeChoice) {
    QMessageBox box(QMessageBox::Question, titleOrProgramName(title), text, QMessageBox::NoButton,
                    parent);
    QList<QAbstractButton*> buttons;
    for (const QString& choice : choices) {
        buttons.append(box.addButton(choice, QMessageBox::AcceptRole));
    }
    if (safeChoice >= 0 && safeChoice < buttons.size()) {
        box.setDefaultButton(static_cast<QPushButton*>(buttons.at(safeChoice)));
        box.setEscapeButton(buttons.at(safeChoice));
    }
    box.exec();
    return static_cast<int>(buttons.indexOf(box.clickedButton()));
}

QString QtDesktop::openFileName(QWidget* parent, const QString& title, const QString& folder,
                                const QString& filter) {
    QFileDialog dialog(parent, title, fileDialogStart(fileDialogs_, folder, FileDialogAsk::Folder),
                       filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return chosenFile(dialog);
}

QString QtDesktop::saveFileName(QWidget* parent, const QString& title, const QString& folder,
                                const QString& filter) {
    QFileDialog dialog(parent, title,
                       fileDialogStart(fileDialogs_, folder, FileDialogAsk::FolderOrProposedFile),
                       filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    return chosenFile(dialog);
}

QString QtDesktop::chosenFile(QFileDialog& dialog) {
    setUpFileDialog(dialog);
    const QString file = runFileDialog(dialog);
    rememberFileDialogChoice(fileDialogs_, file);
    return file;
}

Desktop::PrintChoice QtDesktop::print(QWidget* parent, QPrinter& printer, bool selectionAvailable) {
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, selectionAvailable);
    if (selectionAvailable) {
        printer.setPrintRange(QPrinter::Selection);
    }
    PrintChoice choice;
    choice.accepted = dialog.exec() == QDialog::Accepted;
    choice.selectionOnly = printer.printRange() == QPrinter::Selection;
    choice.copies = qMax(1, printer.copyCount());
    printer.setCopyCount(1);
    return choice;
}

bool QtDesktop::startProgram(const QString& path) {
    return QProcess::startDetached(path, {});
}

bool QtDesktop::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}
