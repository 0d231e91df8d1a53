#pragma once

#include "app/AppContext.h"
#include "support/RecordingMessages.h"
#include "support/TestFolder.h"

#include <QDate>
#include <QString>

#include <gtest/gtest.h>

#include <memory>

class QAction;

namespace meridell::test {

// Widget tests on the whole window set: starts the program on a fresh application folder with a
// recording message service and a fixed date. The main window is shown (offscreen).
class AppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program; SetUp does this unless `startInSetUp` is false.
    void start();
    bool startInSetUp = true;

    app::AppContext& ctx() { return *context_; }
    // A menu entry of the main window by its caption ("项目申报", "选择要导入的数据文件", ...).
    QAction* menuAction(const QString& caption);
    void triggerMenu(const QString& caption);

    AppFolder folder;
    RecordingMessages messages;
    QDate today{2026, 12, 8};
    std::unique_ptr<app::AppContext> context_;
};

}  // namespace meridell::test
