#pragma once

class QCoreApplication;

// Loads Qt's own Japanese texts (the buttons of message boxes, the file dialog, the context
// menu of text boxes) into `app`, whatever the locale says: the suite's own texts are all
// Japanese, so a window in two languages would help no one. False when Qt's Japanese
// catalogue is not installed; the programs then show Qt's English texts.
bool installQtJapanese(QCoreApplication& app);
