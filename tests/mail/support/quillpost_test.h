#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/quillpost_app.h"
#include "fake_clock.h"
#include "scripted_desktop.h"
#include "temp_app_folder.h"

// The base of every Quillpost window test: a run of the application object over a fresh
// temporary application folder, with the scripted desktop and the fast clock.
class QuillpostTest : public ::testing::Test {
  protected:
    // Starts the run; a test that lays out files for the start-up starts it again after.
    QuillpostApp& startApp();
    void SetUp() override { startApp(); }
    void TearDown() override;

    // Lets a closed window finish unloading.
    static void settle();

    // Sends from hanako@example.jp through `host`, the main window loaded as at a start.
    void useSmtpServer(const QString& host, int timeoutMs = 10000);

    TempAppFolder folder;
    ScriptedDesktop desktop;
    FakeClock clock;
    std::unique_ptr<QuillpostApp> app;
};
