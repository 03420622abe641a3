#include <QApplication>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "app_folder.h"
#include "form1.h"
#include "qt_desktop.h"
#include "qt_translations.h"
#include "visible_focus_style.h"

namespace {

// Archives handed over by the desktop ("Open with", a drop on the launcher) are extracted
// as if they had been dropped on the window.
QList<QUrl> openedArchives(const QStringList& arguments) {
    QList<QUrl> archives;
    for (const QString& argument : arguments.mid(1)) {
        archives.append(QUrl::fromLocalFile(QFileInfo(argument).absoluteFilePath()));
    }
    return archives;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    installQtJapanese(app);
    installVisibleFocus(app);
    QtDesktop desktop;
    Form1 form(applicationFolder(u"data"), desktop);
    if (!form.Form_Load()) {
        return 0;
    }
    const QList<QUrl> archives = openedArchives(QApplication::arguments());
    QMimeData opened;
    if (!archives.isEmpty()) {
        opened.setUrls(archives);
        QTimer::singleShot(0, &form, [&form, &opened] { form.Form_OLEDragDrop(opened); });
    }
    return app.exec();
}
