#include "app/Startup.h"
#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/ProjectDatabaseCheck.h"
#include "data/Schema.h"
#include "support/AppFixture.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include <gtest/gtest.h>

namespace meridell::app {
namespace {

using test::RecordingMessages;

QByteArray digest(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// Start-up on a project.mdb that opens but is no project database.
class NotAProjectDatabaseTest : public ::testing::Test {
protected:
    // Replaces the database by an empty file, then runs `sql` on it (nothing for a zero-byte file).
    void arrange(const QStringList& statements) {
        QFile::remove(folder.databasePath());
        QFile f(folder.databasePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        if (!statements.isEmpty()) {
            test::SqlFile file(folder.databasePath());
            for (const QString& s : statements) {
                file.exec(s);
            }
        }
    }
    // Starts the program; returns the start-up error's text.
    QString startFails() {
        const QByteArray before = digest(folder.databasePath());
        const qint64 size = QFileInfo(folder.databasePath()).size();
        RecordingMessages messages;
        QString text;
        try {
            auto context = startUp(folder.path(), messages);
            ADD_FAILURE() << "start-up succeeded";
        } catch (const Error& e) {
            text = e.text();
        }
        for (QWidget* w : QApplication::topLevelWidgets()) {
            EXPECT_FALSE(w->isVisible() && w->objectName() == "mainWindow");
        }
        EXPECT_EQ(QFileInfo(folder.databasePath()).size(), size) << "the file is left as it was";
        EXPECT_EQ(digest(folder.databasePath()), before);
        const QString path = QFileInfo(folder.databasePath()).absoluteFilePath();
        EXPECT_TRUE(text.startsWith(QStringLiteral("文件 %1 不是本系统的项目数据库").arg(path)))
            << text.toStdString();
        return text;
    }
    // The tables of the schema as create statements, with `replace` standing in for one of them.
    static QStringList schemaWith(const char* table, const QString& replace) {
        QStringList statements;
        for (const data::TableDef* def : data::allTables()) {
            statements << (qstrcmp(def->name, table) == 0 ? replace : data::createTableSql(*def));
        }
        return statements;
    }
    test::AppFolder folder;
};

TEST_F(NotAProjectDatabaseTest, AZeroByteFileStaysZeroBytesAndEveryTableIsNamed) {
    arrange({});
    const QString text = startFails();
    for (const char* table : {"table1", "table2", "table3"}) {
        EXPECT_TRUE(text.contains(QStringLiteral("缺少数据表 %1").arg(QLatin1String(table))))
            << text.toStdString();
    }
    EXPECT_EQ(QFileInfo(folder.databasePath()).size(), 0);
}

TEST_F(NotAProjectDatabaseTest, TheFirstWrongColumnOfATableIsNamed) {
    struct Case {
        const char* table;
        QString create;
        QString says;
    };
    const Case cases[] = {
        {"table3",
         QStringLiteral(
             "create table table3 (serial integer, projectname text, projectman text, takeunit1 text, "
             "name text, unit text, idcard text, speciality text, duty text, job text)"),
         QStringLiteral("数据表 table3 缺少第11列 birthday")},
        {"table2",
         QStringLiteral(
             "create table table2 (serial integer, projectname text, projectman text, takeunit1 text, "
             "projectserial text, name text, periodstart text, periodend text, identity text, "
             "state text)"),
         QStringLiteral("数据表 table2 的第3列应为 takeunit1，却是 projectman")},
        {"table2",
         QStringLiteral(
             "create table table2 (serial integer, projectname text, takeunit1 text, projectman text, "
             "projectserial text, name text, periodstart text, periodend text, identity text, "
             "state text, extra text)"),
         QStringLiteral("数据表 table2 多出了列 extra")},
        {"table1", QStringLiteral("create view table1 as select 1 as registernum"),
         QStringLiteral("缺少数据表 table1")},
    };
    for (const Case& c : cases) {
        arrange(schemaWith(c.table, c.create));
        const QString text = startFails();
        EXPECT_TRUE(text.contains(c.says)) << text.toStdString();
        EXPECT_EQ(text.count(QStringLiteral("数据表")), 1) << "only the faulty table: " << text.toStdString();
    }
}

TEST_F(NotAProjectDatabaseTest, ColumnNamesMatchWithoutRegardToCase) {
    QString upper = data::createTableSql(data::table3()).replace("birthday", "BirthDay");
    arrange(schemaWith("table3", upper));
    data::Connection connection("check");
    connection.setDatabaseFile(folder.databasePath());
    connection.open();
    EXPECT_EQ(data::projectDatabaseFaults(connection.database()), QStringList());
}

class EngineTextTest : public test::AppFixture {};

TEST_F(EngineTextTest, AnEngineErrorInAMenuCommandIsExplainedInChineseFirst) {
    test::SqlFile(folder.databasePath()).exec("drop table table1");
    triggerMenu("项目申报");
    const QStringList errors = messages.texts(RecordingMessages::Kind::Error);
    ASSERT_EQ(errors.size(), 1);
    const QStringList lines = errors[0].split('\n');
    ASSERT_EQ(lines.size(), 2) << errors[0].toStdString();
    EXPECT_GE(lines[0].front().unicode(), 0x4e00) << errors[0].toStdString();
    EXPECT_TRUE(lines[1].contains("no such table")) << errors[0].toStdString();
}

}  // namespace
}  // namespace meridell::app
