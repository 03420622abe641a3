#include "scripted_desktop.h"

#include <gtest/gtest.h>

#include <QPrinter>

Desktop::Answer ScriptedDesktop::message(QWidget*, const QString& text, const QString& title,
                                         Buttons buttons, Icon icon) {
    messages.append({text, title, buttons, icon});
    if (!answers.isEmpty()) {
        return answers.takeFirst();
    }
    if (buttons != Buttons::Ok) {
        ADD_FAILURE() << "unscripted question: " << text.toStdString();
        return buttons == Buttons::OkCancel ? Answer::Cancel : Answer::No;
    }
    return Answer::Ok;
}

int ScriptedDesktop::choose(QWidget*, const QString& text, const QString&,
                            const QStringList& choices, int safeChoice) {
    choiceTexts.append(text);
    choiceButtons.append(choices);
    safeChoices.append(safeChoice);
    if (choiceAnswers.isEmpty()) {
        ADD_FAILURE() << "unscripted choice: " << text.toStdString();
        return -1;
    }
    return choiceAnswers.takeFirst();
}

QString ScriptedDesktop::openFileName(QWidget*, const QString& title, const QString& folder,
                                      const QString& filter) {
    fileDialogs.append({false, title, folder, filter});
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString ScriptedDesktop::saveFileName(QWidget*, const QString& title, const QString& folder,
                                      const QString& filter) {
    fileDialogs.append({true, title, folder, filter});
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

Desktop::PrintChoice ScriptedDesktop::print(QWidget*, QPrinter& printer, bool selectionAvailable) {
    printSelectionAvailable.append(selectionAvailable);
    if (printAnswer.accepted) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printToPdf);
        printer.setPageRanges(printPages);
    }
    return printAnswer;
}

bool ScriptedDesktop::startProgram(const QString& path) {
    startedPrograms.append(path);
    return programsStart;
}

bool ScriptedDesktop::openUrl(const QUrl& url) {
    openedUrls.append(url);
    return true;
}

QStringList ScriptedDesktop::messageTexts() const {
    QStringList texts;
    for (const Message& m : messages) {
        texts.append(m.text);
    }
    return texts;
}
