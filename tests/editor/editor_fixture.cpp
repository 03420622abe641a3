#include "editor_fixture.h"

#include <QDir>
#include <QImage>
#include <QSettings>
#include <QTextCursor>
#include <QTextEdit>

EditorTest::EditorTest() : previousWorkingFolder_(QDir::currentPath()) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
    QDir::setCurrent(folder.path());
    openWindow();
}

EditorTest::~EditorTest() {
    QDir::setCurrent(previousWorkingFolder_);
}

void EditorTest::openWindow() {
    window_.reset();
    window_ = std::make_unique<frmMain>(folder.path(), desktop);
    window_->show();
}

void EditorTest::setText(const QString& text) {
    window_->rtfEd->setPlainText(text);
}

void EditorTest::select(int start, int length) {
    QTextCursor cursor = window_->rtfEd->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    window_->rtfEd->setTextCursor(cursor);
}

void writePicture(const QString& path, int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(path, "PNG"));
}
