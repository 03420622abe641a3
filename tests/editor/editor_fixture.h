#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextCursor>

#include <memory>

#include "fixed_wrap_edit.h"
#include "frm_main.h"
#include "scripted_desktop.h"
#include "temp_app_folder.h"

// A shown Notepane window in a fresh application folder, its settings kept in a temporary
// folder and the working folder moved there, so nothing outside the test is touched.
class EditorTest : public ::testing::Test {
  protected:
    EditorTest() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
        QDir::setCurrent(folder.path());
        openWindow();
    }
    ~EditorTest() override { QDir::setCurrent(previousWorkingFolder_); }

    // Builds the window (again); tests that lay out pictures first call it afterwards.
    void openWindow() {
        window_.reset();
        window_ = std::make_unique<frmMain>(folder.path(), desktop);
        window_->show();
    }
    frmMain& window() { return *window_; }
    void setText(const QString& text) { window_->rtfEd->setPlainText(text); }
    // Selects `length` characters from 0-based `start`.
    void select(int start, int length) {
        QTextCursor cursor = window_->rtfEd->textCursor();
        cursor.setPosition(start);
        cursor.setPosition(start + length, QTextCursor::KeepAnchor);
        window_->rtfEd->setTextCursor(cursor);
    }

    TempAppFolder folder;
    ScriptedDesktop desktop;
    QTemporaryDir settingsFolder;

  private:
    QString previousWorkingFolder_ = QDir::currentPath();
    std::unique_ptr<frmMain> window_;
};
