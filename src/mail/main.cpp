#include <QApplication>

#include "app/quillpost_app.h"
#include "app_folder.h"
#include "clock.h"
#include "main_window/main_form.h"
#include "qt_desktop.h"
#include "qt_translations.h"
#include "visible_focus_style.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    installQtJapanese(application);
    installVisibleFocus(application);
    QApplication::setApplicationName(QStringLiteral("Quillpost"));
    QtDesktop desktop;
    SteadyClock clock;
    QuillpostApp app(applicationFolder(), desktop, clock);
    app.mainForm().show();
    return QApplication::exec();
}
