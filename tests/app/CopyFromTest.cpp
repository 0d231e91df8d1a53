// `meridell --database ADDRESS --copy-from PATH`: another office database copied onto the server
// without a window.
#include "app/CopyFromCommand.h"
#include "data/Connection.h"
#include "exchange/ExchangeSupport.h"
#include "support/PgServer.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUuid>

#include <gtest/gtest.h>

namespace meridell::app {
namespace {

using meridell::test::addPrior;
using meridell::test::addProject;
using meridell::test::addStaff;
using meridell::test::SqlFile;

class CopyFromTest : public ::testing::Test {
protected:
    void SetUp() override {
        MERIDELL_REQUIRE_PG(server);
        source = dir.filePath("other/project.mdb");
        meridell::test::makeProjectDatabase(source, [](SqlFile& db) {
            for (const QString& name : {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")}) {
                addProject(db, name, QStringLiteral("张三"), QStringLiteral("一所"), {{"cost", 12.5}});
                addPrior(db, name, QStringLiteral("张三"), QStringLiteral("一所"), "前期");
                addStaff(db, name, QStringLiteral("张三"), QStringLiteral("一所"), QStringLiteral("王五"));
            }
        });
    }

    struct Run {
        int status;
        QString out;
        QString err;
    };
    Run run(const QStringList& arguments) {
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        const int status =
            runCopyFrom(QStringList{"meridell"} + arguments, dir.filePath("own.mdb"), outStream, errStream);
        return {status, out, err};
    }
    // The rows of a table on the server, -1 when it has no such table.
    int rows(const QString& table) {
        data::Connection office(QUuid::createUuid().toString());
        office.setDatabase(server.uri());
        office.open();
        QSqlQuery q(office.database());
        return q.exec("select count(*) from " + table) && q.next() ? q.value(0).toInt() : -1;
    }

    meridell::test::PgServer server;
    QTemporaryDir dir;
    QString source;
};

TEST_F(CopyFromTest, CopiesOnceAndTellsTheCounts) {
    const Run first = run({"--database", server.uri(), "--copy-from", source});
    EXPECT_EQ(first.status, 0) << first.err.toStdString();
    EXPECT_EQ(first.out.trimmed(), QStringLiteral("已复制3个项目，0个项目已经存在，未重复复制。"));
    EXPECT_TRUE(first.err.isEmpty());
    const Run second = run({"--copy-from=" + source, "--database=" + server.uri()});
    EXPECT_EQ(second.status, 0) << second.err.toStdString();
    EXPECT_EQ(second.out.trimmed(), QStringLiteral("已复制0个项目，3个项目已经存在，未重复复制。"));
    EXPECT_EQ(rows("table1"), 3);
    EXPECT_EQ(rows("table2"), 3);
    EXPECT_EQ(rows("table3"), 3);
}

TEST_F(CopyFromTest, WhatCannotBeOpenedEndsWithAReason) {
    struct Case {
        QStringList arguments;
        QString says;
    };
    const QString absent = dir.filePath("absent/project.mdb");
    const QString unreachable =
        QStringLiteral("postgresql://nobody@/meridell?host=%1&port=1").arg(dir.path());
    const std::vector<Case> cases{
        {{"--database", server.uri(), "--copy-from", absent}, QStringLiteral("无法打开要复制的项目数据库")},
        {{"--database", unreachable, "--copy-from", source}, QStringLiteral("无法打开项目数据库")},
        {{"--database", server.uri(), "--copy-from"}, QStringLiteral("缺少它的值")},
        {{"--database", server.uri(), "--copy-from", source, "--window"}, QStringLiteral("无法识别的参数")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const Run result = run(c.arguments);
        EXPECT_EQ(result.status, 1);
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_TRUE(result.err.contains(c.says)) << result.err.toStdString();
    }
    EXPECT_EQ(rows("table1"), -1);  // nothing was made on the server either
}

// The program itself: no window and no display, the counts on its output, status 0.
TEST_F(CopyFromTest, TheProgramCopiesWithoutADisplay) {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(MERIDELL_BUILD_APP_DIR "/meridell"),
                  {"--database", server.uri(), "--copy-from", source});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(program.readAllStandardOutput()).trimmed(),
              QStringLiteral("已复制3个项目，0个项目已经存在，未重复复制。"));
    EXPECT_EQ(rows("table1"), 3);
}

}  // namespace
}  // namespace meridell::app
