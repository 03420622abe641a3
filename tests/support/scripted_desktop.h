#pragma once

#include <QList>
#include <QPageRanges>
#include <QString>
#include <QStringList>
#include <QUrl>

#include "desktop.h"

// The desktop seam for tests: records everything asked of it and answers from lists that
// the test fills beforehand. A question with no scripted answer fails the test.
class ScriptedDesktop final : public Desktop {
  public:
    struct Message {
        QString text;
        QString title;
        Buttons buttons;
        Icon icon;
    };
    struct FileDialog {
        bool save;
        QString title;
        QString folder;
        QString filter;
    };

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

    // Answers, consumed front first. Boxes with only OK need none.
    QList<Answer> answers;
    QList<int> choiceAnswers;
    QStringList fileNames;  // an empty string answers as a cancelled dialog
    PrintChoice printAnswer;
    QString printToPdf;      // where the printer writes when the print dialog is accepted
    QPageRanges printPages;  // the pages chosen in the print dialog; empty for all
    bool programsStart = true;

    // What was asked.
    QList<Message> messages;
    QStringList choiceTexts;
    QList<QStringList> choiceButtons;
    QList<int> safeChoices;
    QList<FileDialog> fileDialogs;
    QList<bool> printSelectionAvailable;
    QStringList startedPrograms;
    QList<QUrl> openedUrls;

    QStringList messageTexts() const;
};
