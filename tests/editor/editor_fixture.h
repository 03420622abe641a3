#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>

#include "frm_main.h"
#include "scripted_desktop.h"
#include "temp_app_folder.h"

// A shown Notepane window in a fresh application folder, its settings kept in a temporary
// folder and the working folder moved there, so nothing outside the test is touched.
class EditorTest : public ::testing::Test {
  protected:
    EditorTest();
    ~EditorTest() override;

    // Builds the window (again); tests that lay out pictures first call it afterwards.
    void openWindow();
    frmMain& window() { return *window_; }
    void setText(const QString& text);
    // Selects `length` characters from 0-based `start`.
    void select(int start, int length);

    TempAppFolder folder;
    ScriptedDesktop desktop;
    QTemporaryDir settingsFolder;

  private:
    QString previousWorkingFolder_;
    std::unique_ptr<frmMain> window_;
};

// Pictures of the given size in one colour, saved as PNG under a .gif name.
void writePicture(const QString& path, int width, int height, QRgb colour);
