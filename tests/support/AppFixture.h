#pragma once

#include "app/AppContext.h"
#include "support/RecordingMessages.h"

#include <QDate>
#include <QString>
#include <QTemporaryDir>
#include <QVariantMap>

#include <gtest/gtest.h>

#include <memory>

class QAction;

namespace meridell::test {

// A fresh application folder in a temporary directory, laid out like the built one: the empty
// project database, the background picture, the help page and the document templates.
class AppFolder {
public:
    AppFolder();
    const QString& path() const { return path_; }
    QString file(const QString& relative) const { return path_ + "/" + relative; }
    QString databasePath() const { return file("source/project.mdb"); }

private:
    QTemporaryDir dir_;
    QString path_;
};

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

// Plain SQL on a project database, for arranging and checking rows without the program.
class SqlFile {
public:
    explicit SqlFile(const QString& path);
    ~SqlFile();
    void exec(const QString& sql, const QVariantList& values = {});
    // The first column of the first row of a query (an invalid QVariant when there is no row).
    QVariant scalar(const QString& sql, const QVariantList& values = {});
    // Inserts a row; columns not given stay null. Returns the rowid.
    qint64 insert(const QString& table, const QVariantMap& values);
    int count(const QString& table);

private:
    QString name_;
};

}  // namespace meridell::test
