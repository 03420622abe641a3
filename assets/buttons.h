#pragma once

#include <QImage>
#include <QList>

// Pictures of the buttons, drawn on a transparent background.

enum class MainButton { NewMail, Receive, AddressBook, ReceivedHistory, SentHistory, Guard };
// One picture per icon side of the main window's buttons.
QList<QImage> mainButtonIcon(MainButton button);

enum class HistoryButton { Delete, DeleteAll, Reply, AddToAddressBook, Deleted };
QImage historyButton(HistoryButton button);

enum class ComposeButton { Send, Cancel };
QImage composeButton(ComposeButton button);
