#include <QApplication>

#include "app_folder.h"
#include "frm_main.h"
#include "qt_desktop.h"
#include "qt_translations.h"
#include "visible_focus_style.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    installQtJapanese(app);
    installVisibleFocus(app);
    QApplication::setApplicationName(QStringLiteral("Notepane"));
    QtDesktop desktop;
    frmMain window(applicationFolder(), desktop);
    window.show();
    return app.exec();
}
