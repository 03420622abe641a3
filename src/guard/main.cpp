#include <QApplication>

#include "app_folder.h"
#include "form1.h"
#include "qt_desktop.h"
#include "qt_translations.h"
#include "visible_focus_style.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    installQtJapanese(app);
    installVisibleFocus(app);
    QApplication::setApplicationName(QStringLiteral("Holdfast"));
    QtDesktop desktop;
    Form1 window(applicationFolder(), desktop);
    window.show();
    return QApplication::exec();
}
