// One mail check in a process of its own, for the tests that kill a check at random
// moments: mail_check_runner FOLDER POP3HOST [DAYS [TIMEOUT_MS]]. The account comes from
// the folder's files; DAYS moves the calendar on, as days passed in the killing test's
// own run; TIMEOUT_MS bounds each network wait.
#include <QApplication>

#include <clocale>

#include "app/quillpost_app.h"
#include "fake_clock.h"
#include "main_window/main_form.h"
#include "scripted_desktop.h"
#include "transport/nmail.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::setlocale(LC_ALL, "C.UTF-8");
    QApplication application(argc, argv);
    if (argc < 3 || argc > 5) {
        return 2;
    }
    ScriptedDesktop desktop;
    FakeClock clock;
    if (argc > 3) {
        clock.passDays(QByteArray(argv[3]).toInt());
    }
    QuillpostApp app(QString::fromLocal8Bit(argv[1]), desktop, clock);
    app.mainForm();
    if (argc > 4) {
        app.transport().setTimeoutMs(QByteArray(argv[4]).toInt());
    }
    app.Pop3Server = QString::fromLocal8Bit(argv[2]);
    app.mainForm().Command3_Click();
    // Any box means the check met a fault, which a killed check must never cause.
    return desktop.messages.isEmpty() ? 0 : 1;
}
