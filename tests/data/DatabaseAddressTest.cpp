// How the one text naming a database is read, and the one way names are quoted in statements.
#include "ScratchDatabase.h"
#include "data/Connection.h"
#include "data/DatabaseAddress.h"
#include "data/SqlNames.h"

#include <QUrl>

#include <gtest/gtest.h>

namespace meridell::data {
namespace {

using Engine = DatabaseAddress::Engine;

TEST(DatabaseAddressTest, PathsAndAddressesNameTheirFile) {
    struct Case {
        QString text;
        Engine engine;
        QString path;
    };
    const Case cases[] = {
        {"/home/office/project.mdb", Engine::Sqlite, "/home/office/project.mdb"},
        {"relative/project.mdb", Engine::Sqlite, "relative/project.mdb"},
        {"C:/data/project.mdb", Engine::Sqlite, "C:/data/project.mdb"},
        {"/home/a b/项目.mdb", Engine::Sqlite, "/home/a b/项目.mdb"},
        {"sqlite:///home/office/project.mdb", Engine::Sqlite, "/home/office/project.mdb"},
        {"SQLite:///home/office/project.mdb", Engine::Sqlite, "/home/office/project.mdb"},
        {"sqlite://localhost/home/office/project.mdb", Engine::Sqlite, "/home/office/project.mdb"},
        {"sqlite:relative/project.mdb", Engine::Sqlite, "relative/project.mdb"},
        {"sqlite:///home/a%20b/%E9%A1%B9%E7%9B%AE.mdb", Engine::Sqlite, "/home/a b/项目.mdb"},
        {"sqlite:///home/x%3Fy.mdb", Engine::Sqlite, "/home/x?y.mdb"},
        {"sqlite://server/home/project.mdb", Engine::None, ""},
        {"sqlite://user@localhost/home/project.mdb", Engine::None, ""},
        {"sqlite:///home/project.mdb?mode=rwc", Engine::None, ""},
        {"sqlite:///home/project.mdb#main", Engine::None, ""},
        {"sqlite:", Engine::None, ""},
        {"", Engine::None, ""},
        {"   ", Engine::None, ""},
        {"postgresql://office.example/projects", Engine::Postgres, ""},
        {"mysql://office.example/projects", Engine::Other, ""},
    };
    for (const Case& c : cases) {
        const DatabaseAddress address = DatabaseAddress::parse(c.text);
        EXPECT_EQ(address.engine, c.engine) << c.text.toStdString();
        EXPECT_EQ(address.path, c.path) << c.text.toStdString();
        EXPECT_EQ(address.text, c.text);
    }
    EXPECT_EQ(DatabaseAddress::parse("PostgreSQL://h/db").scheme, "postgresql");
}

TEST(DatabaseAddressTest, AConnectionOpensByAddressAndRefusesWhatNamesNoFile) {
    test::ScratchDatabase db({"create table t(k)"});
    Connection connection("by-address");
    connection.setDatabase("sqlite://" + QUrl::fromLocalFile(db.path).path(QUrl::FullyEncoded));
    ASSERT_NO_THROW(connection.open());
    EXPECT_EQ(connection.databaseFile(), db.path);
    connection.close();
    for (const QString& text : {QStringLiteral("mysql://h/db"), QStringLiteral("sqlite://h/x.mdb"),
                                QStringLiteral("sqlite:///no/such/folder/x.mdb")}) {
        connection.setDatabase(text);
        try {
            connection.open();
            ADD_FAILURE() << "opened " << text.toStdString();
        } catch (const DatabaseError& e) {
            EXPECT_EQ(e.cause(), DatabaseError::Cause::CannotOpen) << e.text().toStdString();
        }
        EXPECT_FALSE(connection.isOpen());
    }
}

TEST(SqlNamesTest, QuotedNamesDoubleTheirQuotes) {
    const std::pair<QString, QString> cases[] = {
        {"table1", "\"table1\""},
        {"", "\"\""},
        {"a\"b", "\"a\"\"b\""},
        {"\"", "\"\"\"\""},
        {"x\"\";drop table t;--", "\"x\"\"\"\";drop table t;--\""},
        {"项目 名称", "\"项目 名称\""},
    };
    for (const auto& [name, quoted] : cases) {
        EXPECT_EQ(quotedName(name), quoted) << name.toStdString();
    }
}

TEST(SqlNamesTest, AnyQuotedNameReadsBackAsItself) {
    test::ScratchDatabase db({});
    for (const QString& name : {QStringLiteral("a\"b"), QStringLiteral("\"\""), QStringLiteral("x\"; --")}) {
        db.connection.exec("create table " + quotedName(name) + "(" + quotedName(name + "c") + ")");
        EXPECT_EQ(db.scalar("select name from sqlite_master where type = 'table' and name = '" +
                            QString(name).replace('\'', "''") + "'")
                      .toString(),
                  name);
    }
}

}  // namespace
}  // namespace meridell::data
