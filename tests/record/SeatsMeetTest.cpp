// Two seats working on one project on the server: a save that meets another seat's change, a
// deletion or a cut connection stores nothing, keeps the seat's typing and tells why; the command
// after a cut connection works again.
#include "common/core/Error.h"
#include "data/Dataset.h"
#include "data/ProjectDatabaseCheck.h"
#include "data/ProjectQuery.h"
#include "data/ServerDatabase.h"
#include "record/QStringPrinter.h"
#include "record/core/SaveRules.h"

#include <QUuid>

#include <gtest/gtest.h>

#include <functional>

namespace meridell::record {
namespace {

using Cause = data::DatabaseError::Cause;

// One seat: its own connection to the office database and the record form's three queries.
struct Seat {
    explicit Seat(const QString& uri) : connection(QUuid::createUuid().toString()) {
        connection.setDatabase(uri);
        connection.open();
        for (data::Dataset* d : {&project, &prior, &staff}) {
            d->setConnection(&connection);
        }
        project.setQuery(data::ProjectQuery::allProjects());
        prior.setQuery(data::ProjectQuery::allOf(data::kPriorProjectTable));
        staff.setQuery(data::ProjectQuery::allOf(data::kStaffTable));
        for (data::Dataset* d : {&project, &prior, &staff}) {
            d->open();
        }
    }
    // "保存修改" of the seat's typing: the project row and the key stamped into its staff rows,
    // all or nothing. The error's text as the seat would read it, empty when it went through.
    QString saveChanges() {
        try {
            runAllOrNothing(connection, {&project, &prior, &staff}, [this] {
                project.post();
                project.edit();
                restampStaff(staff, project);
            });
            return {};
        } catch (const std::exception& e) {
            return explainedErrorText(errorText(e));
        }
    }
    data::Connection connection;
    data::Dataset project{"project"}, prior{"prior"}, staff{"staff"};
};

class SeatsMeetTest : public data::test::ServerTest {
protected:
    void SetUp() override {
        data::test::ServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        ASSERT_NO_THROW(data::requireProjectDatabase(connection));
        exec(
            "insert into table1 (projectname, projectman, takeunit1, remark) values "
            "('城市化研究', '张三', '省社科院', '原来的说明')");
        exec(
            "insert into table3 (projectname, projectman, takeunit1, name) values "
            "('城市化研究', '张三', '省社科院', '张三')");
    }
    QString storedRemark() { return scalar("select remark from table1").toString(); }
};

struct Meeting {
    const char* what;
    // What happens between the second seat's start of typing and its save.
    std::function<void(Seat& first, meridell::test::PgServer& server)> meanwhile;
    QString told;           // a part of what the second seat reads
    Cause cause;            // why the save failed
    QVariant storedRemark;  // what the server keeps (invalid: the row is gone)
    bool secondSaveStores;  // whether saving once more stores the typing
};

TEST_F(SeatsMeetTest, ASaveThatMeetsAnotherSeatStoresNothingKeepsTheTypingAndTellsWhy) {
    const Meeting meetings[] = {
        {"the first seat saves its change first",
         [](Seat& first, meridell::test::PgServer&) {
             first.project.edit();
             first.project.setValue("remark", QStringLiteral("第一个座位的说明"));
             ASSERT_EQ(first.saveChanges(), QString());
         },
         QStringLiteral("其他"), Cause::Changed, QStringLiteral("第一个座位的说明"), false},
        {"the first seat deletes the project",
         [](Seat& first, meridell::test::PgServer&) { first.project.remove(); }, QStringLiteral("其他"),
         Cause::Changed, QVariant(), false},
        {"the server is restarted",
         [](Seat&, meridell::test::PgServer& server) {
             ASSERT_TRUE(server.stop());
             ASSERT_TRUE(server.start());
         },
         data::DatabaseError::sentence(Cause::Lost), Cause::Lost, QStringLiteral("原来的说明"), true},
    };
    for (const Meeting& m : meetings) {
        SCOPED_TRACE(m.what);
        exec("update table1 set remark = '原来的说明'");
        if (scalar("select count(*) from table1").toInt() == 0) {
            exec(
                "insert into table1 (projectname, projectman, takeunit1, remark) values "
                "('城市化研究', '张三', '省社科院', '原来的说明')");
        }
        Seat first(uri), second(uri);
        second.project.edit();
        second.project.setValue("remark", QStringLiteral("第二个座位的说明"));
        m.meanwhile(first, server());
        const QString told = second.saveChanges();
        EXPECT_TRUE(told.contains(m.told)) << told.toStdString();
        EXPECT_TRUE(told.contains(data::DatabaseError::sentence(m.cause))) << told.toStdString();
        // The typing stays in the form, to be kept as a draft.
        EXPECT_EQ(second.project.state(), data::Dataset::State::Edit);
        EXPECT_TRUE(second.project.isModified());
        EXPECT_EQ(second.project.text("remark"), QStringLiteral("第二个座位的说明"));
        // What the server holds; a deleted project does not come back.
        data::test::ServerTest::connection.close();
        data::test::ServerTest::connection.open();
        const int rows = scalar("select count(*) from table1").toInt();
        EXPECT_EQ(rows, m.storedRemark.isValid() ? 1 : 0);
        if (m.storedRemark.isValid()) {
            EXPECT_EQ(storedRemark(), m.storedRemark.toString());
        }
        // The next command works on a connection made again.
        EXPECT_EQ(second.saveChanges().isEmpty(), m.secondSaveStores);
        EXPECT_EQ(scalar("select count(*) from table1").toInt(), rows) << "never stored anew";
        if (m.secondSaveStores) {
            EXPECT_EQ(storedRemark(), QStringLiteral("第二个座位的说明"));
        }
    }
}

// A server that is gone while a seat saves: told so, nothing stored; once it is back the same
// seat's next query and save go through on a connection made again.
TEST_F(SeatsMeetTest, AServerGoneWhileSavingIsToldAndTheNextCommandReconnects) {
    Seat seat(uri);
    seat.project.edit();
    seat.project.setValue("remark", QStringLiteral("断线时的说明"));
    data::test::ServerTest::connection.close();
    ASSERT_TRUE(server().stop());
    const QString told = seat.saveChanges();
    EXPECT_TRUE(told.contains(data::DatabaseError::sentence(Cause::Lost))) << told.toStdString();
    EXPECT_EQ(seat.project.text("remark"), QStringLiteral("断线时的说明"));
    // A query while the server is still gone fails the same way.
    data::Dataset query("query");
    query.setConnection(&seat.connection);
    query.setQuery(data::ProjectQuery::allProjects());
    try {
        query.open();
        ADD_FAILURE() << "a query without a server";
    } catch (const data::DatabaseError& e) {
        EXPECT_EQ(e.cause(), Cause::Lost);
    }
    ASSERT_TRUE(server().start());
    ASSERT_NO_THROW(query.open());
    EXPECT_EQ(query.recordCount(), 1);
    EXPECT_EQ(seat.saveChanges(), QString());
    data::test::ServerTest::connection.open();
    EXPECT_EQ(storedRemark(), QStringLiteral("断线时的说明"));
}

}  // namespace
}  // namespace meridell::record
