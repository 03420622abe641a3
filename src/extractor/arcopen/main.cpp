#include <QApplication>

#include "app_folder.h"
#include "form1.h"
#include "qt_desktop.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QtDesktop desktop;
    Form1 form(applicationFolder(), desktop);
    if (!form.Form_Load()) {
        return 0;
    }
    form.show();
    return app.exec();
}
