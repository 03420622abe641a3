#include "quillpost_test.h"

#include <QCoreApplication>
#include <QEvent>

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
