// Datasets over the project tables on a server: values of every type round trip, queries find and
// sort as in a database file, and two seats editing the same row do not overwrite each other.
#include "ScratchDatabase.h"
#include "ServerDatabase.h"
#include "data/Dataset.h"
#include "data/ProjectDatabaseCheck.h"
#include "data/ProjectQuery.h"
#include "data/Schema.h"

#include <gtest/gtest.h>

namespace meridell::data {
namespace {

using Cause = DatabaseError::Cause;

class ServerDatasetTest : public test::ServerTest {
protected:
    void SetUp() override {
        test::ServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        ASSERT_NO_THROW(requireProjectDatabase(connection));
    }

    // Appends a project row with the given values.
    void addProject(Dataset& rows, const QVariantMap& values) {
        rows.append();
        for (auto it = values.begin(); it != values.end(); ++it) {
            rows.setValue(it.key(), it.value());
        }
        rows.post();
    }

    QStringList column(Dataset& rows, const QString& name) {
        QStringList values;
        for (rows.first(); !rows.eof(); rows.next()) {
            values << rows.text(name);
        }
        return values;
    }
};

TEST_F(ServerDatasetTest, EveryColumnTypeRoundTripsAndMoneyStaysExact) {
    Dataset rows("projects");
    rows.setConnection(&connection);
    rows.setQuery(ProjectQuery::allProjects());
    rows.open();
    EXPECT_EQ(rows.fieldNames(), table1().columnNames()) << "the server's own columns stay hidden";
    const QString memo = QString(5000, QChar(u'长')) + QStringLiteral("\n第二行");
    addProject(rows, {{"projectname", "项目甲"},
                      {"projectman", "张伟"},
                      {"takeunit1", "省科学院"},
                      {"registerdate", "2024-05-01"},
                      {"cost", 12.34},
                      {"totalfund", 0.1},
                      {"markresult", 87.5},
                      {"remark", memo},
                      {"email", ""},
                      {"yearstart", "2024"}});
    EXPECT_GT(rows.rowId(), 0);
    rows.reopen();
    ASSERT_EQ(rows.recordCount(), 1);
    const struct {
        const char* column;
        QVariant value;
    } expected[] = {
        {"projectname", "项目甲"},
        {"registerdate", "2024-05-01"},
        {"cost", 12.34},
        {"totalfund", 0.1},
        {"markresult", 87.5},
        {"remark", memo},
        {"email", ""},
        {"yearstart", "2024"},
        {"deptfund", QVariant()},
        {"sex", QVariant()},
    };
    for (const auto& e : expected) {
        const QVariant value = rows.value(QString::fromUtf8(e.column));
        EXPECT_EQ(value.isValid(), e.value.isValid()) << e.column;
        if (e.value.typeId() == QMetaType::Double) {
            EXPECT_EQ(value.toDouble(), e.value.toDouble()) << e.column;
        } else {
            EXPECT_EQ(value.toString(), e.value.toString()) << e.column;
        }
    }
    EXPECT_EQ(scalar("select cost::text from table1").toString(), "12.34");
    EXPECT_EQ(scalar("select sum(cost + totalfund)::text from table1").toString(), "12.44");
}

TEST_F(ServerDatasetTest, EditsAreSavedAgainAndAgainAndDeletedRowsGo) {
    Dataset staff("staff");
    staff.setConnection(&connection);
    staff.setQuery(ProjectQuery::allOf(kStaffTable));
    staff.open();
    addProject(staff, {{"projectname", "P"}, {"name", "甲"}});
    addProject(staff, {{"projectname", "P"}, {"name", "乙"}});
    staff.first();
    EXPECT_EQ(staff.value("serial").toLongLong(), 1) << "the counter is the server's";
    for (const char* duty : {"组长", "副组长", "成员"}) {
        staff.setValue("duty", QString::fromUtf8(duty));
        ASSERT_NO_THROW(staff.post()) << duty;
    }
    EXPECT_EQ(scalar("select duty || ' ' || row_version from table3 where name = '甲'").toString(), "成员 4");
    staff.remove();
    staff.reopen();
    EXPECT_EQ(column(staff, "name"), QStringList{"乙"});
}

TEST_F(ServerDatasetTest, QueriesFindAndSortAsInADatabaseFile) {
    Dataset rows("projects");
    rows.setConnection(&connection);
    rows.setQuery(ProjectQuery::allProjects());
    rows.open();
    const QStringList names = {"王芳", "张伟", "李娜", "陈明", "阿强", "黄河", "邓超", "白雪"};
    for (int i = 0; i < names.size(); ++i) {
        addProject(rows, {{"projectname", names[i] + "的项目"},
                          {"projectman", names[i]},
                          {"takeunit1", i == 0 ? "50%" : (i == 1 ? "500" : "Unit")},
                          {"cost", 10 + i}});
    }
    const struct {
        const char* what;
        ProjectQuery query;
        QStringList men;
    } cases[] = {
        {"contains a percent sign",
         ProjectQuery::allProjects().where("takeunit1", Comparison::Contains, "50%"),
         {"王芳"}},
        {"contains ignoring case",
         ProjectQuery::allProjects().where("takeunit1", Comparison::Contains, "uNI"),
         {"李娜", "陈明", "阿强", "黄河", "邓超", "白雪"}},
        {"a range of money",
         ProjectQuery::allProjects()
             .where("cost", Comparison::AtLeast, 12)
             .where("cost", Comparison::AtMost, 13.5),
         {"李娜", "陈明"}},
        {"the Chinese order",
         ProjectQuery::allProjects().orderBy({"projectman", false, Collation::Chinese}),
         {"阿强", "白雪", "陈明", "邓超", "黄河", "李娜", "王芳", "张伟"}},
        {"a page of the Chinese order backwards",
         [] {
             ProjectQuery q = ProjectQuery::allProjects().orderBy({"projectman", true, Collation::Chinese});
             q.paging = Paging{3, 1};
             return q;
         }(),
         {"王芳", "李娜", "黄河"}},
    };
    for (const auto& c : cases) {
        rows.setQuery(c.query);
        rows.open();
        EXPECT_EQ(column(rows, "projectman"), c.men) << c.what;
    }
}

TEST_F(ServerDatasetTest, TheServersChineseOrderIsTheFilesOrder) {
    const QStringList names = {"张伟", "阿强", "欧阳修", "李娜", "lin", "Li",
                               "王芳", "王",   "白雪",   "123",  "陈明"};
    test::ScratchDatabase file({"create table t (name varchar(20))"});
    exec(
        "create table t (rowid bigint generated always as identity, name text, row_version integer default "
        "1)");
    for (const QString& name : names) {
        file.exec("insert into t values (?)", {name});
        exec("insert into t (name) values (?)", {name});
    }
    Dataset onFile("file");
    onFile.setConnection(&file.connection);
    Dataset onServer("server");
    onServer.setConnection(&connection);
    for (bool descending : {false, true}) {
        const ProjectQuery query = ProjectQuery::allOf("t").orderBy({"name", descending, Collation::Chinese});
        onFile.setQuery(query);
        onFile.open();
        onServer.setQuery(query);
        onServer.open();
        EXPECT_EQ(column(onServer, "name"), column(onFile, "name")) << descending;
    }
}

TEST_F(ServerDatasetTest, OfTwoSeatsEditingOneRowTheFirstSaveWins) {
    Dataset first("first");
    first.setConnection(&connection);
    first.setQuery(ProjectQuery::allProjects());
    first.open();
    addProject(first, {{"projectname", "P"}, {"projectman", "M"}, {"takeunit1", "U"}, {"remark", "原来"}});
    Connection otherSeat("other-seat");
    otherSeat.setDatabase(uri);
    otherSeat.open();
    Dataset second("second");
    second.setConnection(&otherSeat);
    second.setQuery(ProjectQuery::allProjects());
    second.open();
    first.first();
    second.first();
    first.setValue("remark", "第一位");
    second.setValue("remark", "第二位");
    ASSERT_NO_THROW(first.post());
    try {
        second.post();
        ADD_FAILURE() << "the second seat overwrote the first";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.cause(), Cause::Changed);
        EXPECT_TRUE(e.text().contains(QStringLiteral("其他")));
    }
    EXPECT_EQ(scalar("select remark from table1").toString(), "第一位");
    second.cancel();
    second.setValue("remark", "第二位再改");
    ASSERT_NO_THROW(second.post()) << "after reading the row again the second seat saves";
    EXPECT_EQ(scalar("select remark || row_version from table1").toString(), "第二位再改3");
}

TEST_F(ServerDatasetTest, ARowDeletedDuringAnEditIsNotBroughtBack) {
    Dataset editing("editing");
    editing.setConnection(&connection);
    editing.setQuery(ProjectQuery::allProjects());
    editing.open();
    addProject(editing, {{"projectname", "P"}, {"projectman", "M"}, {"takeunit1", "U"}});
    Connection otherSeat("deleting-seat");
    otherSeat.setDatabase(uri);
    otherSeat.open();
    Dataset deleting("deleting");
    deleting.setConnection(&otherSeat);
    deleting.setQuery(ProjectQuery::allProjects());
    deleting.open();
    editing.first();
    editing.setValue("remark", "改了");
    deleting.first();
    deleting.remove();
    try {
        editing.post();
        ADD_FAILURE() << "the edit of a deleted row was saved";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.cause(), Cause::Changed);
    }
    EXPECT_EQ(scalar("select count(*) from table1").toInt(), 0);
    editing.cancel();
    EXPECT_NO_THROW(editing.remove()) << "deleting a row another seat deleted is no fault";
    EXPECT_EQ(editing.recordCount(), 0);
}

TEST_F(ServerDatasetTest, ADatasetWorksAgainAfterTheServerCameBack) {
    Dataset rows("projects");
    rows.setConnection(&connection);
    rows.setQuery(ProjectQuery::allProjects());
    rows.open();
    addProject(rows, {{"projectname", "P"}, {"projectman", "M"}, {"takeunit1", "U"}});
    ASSERT_TRUE(server().stop());
    ASSERT_TRUE(server().start());
    const auto save = [&](const QString& remark) {
        rows.reopen();
        rows.first();
        rows.setValue("remark", remark);
        rows.post();
    };
    try {
        save("断开之时");
        ADD_FAILURE() << "saved over a cut connection";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.cause(), Cause::Lost) << e.text().toStdString();
    }
    ASSERT_NO_THROW(save("断开之后"));
    rows.reopen();
    EXPECT_EQ(rows.text("remark"), "断开之后");
}

}  // namespace
}  // namespace meridell::data
