#include "ScratchDatabase.h"
#include "common/core/Error.h"
#include "data/TableWriter.h"

#include <QDate>

#include <gtest/gtest.h>

namespace meridell::data {
namespace {

using test::ScratchDatabase;

class TableWriterTest : public ::testing::Test {
protected:
    void SetUp() override { writer.reset(&db.connection, QStringLiteral("notes"), columns, 0); }

    // How a column of a stored row reads back: its SQLite type and its value as text.
    QString stored(qint64 rowId, const QString& column) {
        return db
            .scalar(QStringLiteral("select typeof(%1) || ':' || ifnull(%1, '') from notes where rowid=%2")
                        .arg(column)
                        .arg(rowId))
            .toString();
    }

    ScratchDatabase db{
        {QStringLiteral("create table notes (serial integer primary key autoincrement, "
                        "title varchar(20), body text, day varchar(10), flag integer, "
                        "cost float)")}};
    QStringList columns{QStringLiteral("serial"), QStringLiteral("title"), QStringLiteral("body"),
                        QStringLiteral("day"),    QStringLiteral("flag"),  QStringLiteral("cost")};
    TableWriter writer;
};

TEST_F(TableWriterTest, NullsStayNullAndEveryEmptyTextStaysAText) {
    qint64 id = writer.insert({QVariant(), QVariant(), QVariant(QMetaType::fromType<QString>()), QString(),
                               QVariant(QMetaType::fromType<int>()), QVariant()});
    EXPECT_EQ(stored(id, QStringLiteral("title")), QStringLiteral("null:")) << "an invalid value";
    EXPECT_EQ(stored(id, QStringLiteral("body")), QStringLiteral("null:")) << "a null text value";
    EXPECT_EQ(stored(id, QStringLiteral("day")), QStringLiteral("text:")) << "a null QString is a text";
    EXPECT_EQ(stored(id, QStringLiteral("flag")), QStringLiteral("null:")) << "a null number";
    qint64 empty = writer.insert({QVariant(), QStringLiteral(""), QString(), QVariant(), 0, 0.0});
    EXPECT_EQ(stored(empty, QStringLiteral("title")), QStringLiteral("text:"));
    EXPECT_EQ(stored(empty, QStringLiteral("flag")), QStringLiteral("integer:0")) << "zero is not null";
}

TEST_F(TableWriterTest, CounterIsLeftToTheDatabaseAndValuesKeepTheirKind) {
    qint64 first =
        writer.insert({999, QStringLiteral("甲"), QString(5000, u'长'), QDate(2026, 3, 9), true, 12.5});
    qint64 second = writer.insert({999, QStringLiteral("乙"), QVariant(),
                                   QDateTime(QDate(2026, 1, 2), QTime(23, 0)), false, QVariant()});
    EXPECT_EQ(second, first + 1) << "the given counter value is not written";
    EXPECT_EQ(stored(first, QStringLiteral("serial")), QStringLiteral("integer:%1").arg(first));
    EXPECT_EQ(stored(first, QStringLiteral("day")), QStringLiteral("text:2026-03-09"));
    EXPECT_EQ(stored(second, QStringLiteral("day")), QStringLiteral("text:2026-01-02")) << "a date and time";
    EXPECT_EQ(stored(first, QStringLiteral("flag")), QStringLiteral("integer:1"));
    EXPECT_EQ(stored(second, QStringLiteral("flag")), QStringLiteral("integer:0"));
    EXPECT_EQ(stored(first, QStringLiteral("cost")), QStringLiteral("real:12.5"));
    EXPECT_EQ(db.scalar(QStringLiteral("select length(body) from notes where rowid=%1").arg(first)).toInt(),
              5000);
}

TEST_F(TableWriterTest, UpdateWritesEveryColumnOfOneRowAndRemoveDeletesIt) {
    qint64 a = writer.insert({QVariant(), QStringLiteral("a"), QStringLiteral("x"), QVariant(), 1, 1.0});
    qint64 b = writer.insert({QVariant(), QStringLiteral("b"), QStringLiteral("y"), QVariant(), 2, 2.0});
    writer.update(a, {QVariant(), QStringLiteral("a2"), QVariant(), QVariant(), 3, QVariant()});
    EXPECT_EQ(stored(a, QStringLiteral("title")), QStringLiteral("text:a2"));
    EXPECT_EQ(stored(a, QStringLiteral("body")), QStringLiteral("null:")) << "a value taken away";
    EXPECT_EQ(stored(a, QStringLiteral("cost")), QStringLiteral("null:"));
    EXPECT_EQ(stored(b, QStringLiteral("title")), QStringLiteral("text:b")) << "the other row is untouched";
    writer.remove(a);
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from notes")).toInt(), 1);
    EXPECT_EQ(db.scalar(QStringLiteral("select title from notes")).toString(), QStringLiteral("b"));
}

TEST_F(TableWriterTest, ARowOfTheWrongWidthIsRefusedAndWritesNothing) {
    EXPECT_THROW(writer.insert({QVariant(), QStringLiteral("short")}), Error);
    EXPECT_THROW(writer.update(1, {}), Error);
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from notes")).toInt(), 0);
}

TEST_F(TableWriterTest, EngineRefusalIsThrownWithItsTextAndResetMovesToAnotherTable) {
    db.exec(QStringLiteral("create table strict (name text not null, n integer)"));
    writer.reset(&db.connection, QStringLiteral("strict"), {QStringLiteral("name"), QStringLiteral("n")}, -1);
    try {
        writer.insert({QVariant(), 1});
        FAIL() << "a null in a not-null column";
    } catch (const Error& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("NOT NULL"), Qt::CaseInsensitive)) << e.what();
    }
    qint64 id = writer.insert({QStringLiteral("n"), 7});
    EXPECT_EQ(db.scalar(QStringLiteral("select n from strict where rowid=%1").arg(id)).toInt(), 7)
        << "without a counter every column is written";
    EXPECT_EQ(db.scalar(QStringLiteral("select count(*) from notes")).toInt(), 0);
}

TEST(TableWriterNoConnectionTest, WritingWithoutAConnectionThrows) {
    TableWriter writer;
    writer.reset(nullptr, QStringLiteral("t"), {QStringLiteral("a")}, -1);
    EXPECT_THROW(writer.insert({1}), Error);
}

}  // namespace
}  // namespace meridell::data
