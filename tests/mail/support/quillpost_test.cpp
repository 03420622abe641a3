#include "quillpost_test.h"

#include <QCoreApplication>
#include <QEvent>

#include "main_window/main_form.h"

QuillpostApp& QuillpostTest::startApp() {
    app = std::make_unique<QuillpostApp>(folder.path(), desktop, clock);
    return *app;
}

void QuillpostTest::TearDown() {
    app.reset();
    settle();
}

void QuillpostTest::settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void QuillpostTest::useSmtpServer(const QString& host, int timeoutMs) {
    app->mainForm();
    app->transport().setTimeoutMs(timeoutMs);
    app->SmtpServer = host;
    app->MailAddress = QStringLiteral("hanako@example.jp");
}
