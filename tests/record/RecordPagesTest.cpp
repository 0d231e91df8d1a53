// The record form's page classes on their own, on a real database and without the form.

#include "data/Connection.h"
#include "data/DatabaseFile.h"
#include "data/Dataset.h"
#include "data/ProjectQuery.h"
#include "data/Schema.h"
#include "record/BoundControls.h"
#include "record/FieldPage.h"
#include "record/RowListPage.h"
#include "record/core/FieldTable.h"
#include "record/core/RowListLayout.h"
#include "record/core/SaveRules.h"
#include "support/AppFixture.h"

#include <QFrame>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace meridell::record {
namespace {

const QVariantMap kOldKey{{"projectname", "旧名"}, {"projectman", "张三"}, {"takeunit1", "大学"}};

class RecordPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.filePath("project.mdb");
        data::createProjectDatabase(path);
        sql = std::make_unique<test::SqlFile>(path);
        sql->insert("table1", {{"projectname", "新名"}, {"projectman", "李四"}, {"takeunit1", "省社科院"}});
        connection.setDatabaseFile(path);
        connection.open();
        for (data::Dataset* d : {&projects, &prior, &staff}) {
            d->setConnection(&connection);
        }
        projects.setQuery(data::ProjectQuery::allProjects());
        prior.setQuery(data::ProjectQuery::allOf(data::kPriorProjectTable));
        staff.setQuery(data::ProjectQuery::allOf(data::kStaffTable));
    }
    void TearDown() override {
        sql.reset();
        for (data::Dataset* d : {&projects, &prior, &staff}) {
            d->setConnection(nullptr);
        }
    }

    std::unique_ptr<RowListPage> makeList(const RowListLayout& listLayout, data::Dataset& rows) {
        projects.open();
        rows.open();
        return std::make_unique<RowListPage>(
            listLayout, rows, projects,
            [this](const std::function<void()>& work) {
                runAllOrNothing(connection, {&projects, &prior, &staff}, work);
            },
            [this](const std::function<void()>& work) {
                try {
                    work();
                } catch (const std::exception& e) {
                    errors << QString::fromUtf8(e.what());
                }
            });
    }

    QTemporaryDir dir;
    QString path;
    std::unique_ptr<test::SqlFile> sql;
    data::Connection connection{"record-pages-test"};
    data::Dataset projects{"projects"};
    data::Dataset prior{"prior"};
    data::Dataset staff{"staff"};
    QStringList errors;
};

TEST_F(RecordPagesTest, EachRowListStampsTheProjectKeyIntoItsOwnTable) {
    struct Case {
        const RowListLayout& listLayout;
        data::Dataset& rows;
        const char* table;
        const char* other;
    };
    const Case cases[] = {{priorProjectsList(), prior, "table2", "table3"},
                          {staffList(), staff, "table3", "table2"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        sql->insert(QLatin1String(c.table), kOldKey);  // listed, of the project before it was renamed
        auto list = makeList(c.listLayout, c.rows);
        list->setEditable(true);
        list->newButton()->click();
        ASSERT_EQ(list->grid()->model()->rowCount(), 2);
        ASSERT_TRUE(list->grid()->model()->setData(list->grid()->model()->index(1, 0), "P-1"));
        list->saveButton()->click();
        EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
        EXPECT_EQ(sql->count(QLatin1String(c.table)), 2);
        EXPECT_EQ(sql->count(QLatin1String(c.other)), 0) << "the other list's table is untouched";
        const QString keyed =
            QStringLiteral(
                "select count(*) from %1 where projectname='新名' and projectman='李四' and "
                "takeunit1='省社科院'")
                .arg(QLatin1String(c.table));
        EXPECT_EQ(sql->scalar(keyed).toInt(), 2) << "the new row and the listed one";
        for (const char* column : c.listLayout.dataColumns) {
            EXPECT_EQ(sql->scalar(QStringLiteral("select count(*) from %1 where %2 is null")
                                      .arg(QLatin1String(c.table), QLatin1String(column)))
                          .toInt(),
                      0)
                << column;
        }
        sql->exec(QStringLiteral("delete from %1").arg(QLatin1String(c.table)));
    }
}

TEST_F(RecordPagesTest, RowListGridShowsTheColumnsOfItsOwnTable) {
    for (const RowListLayout* listLayout : {&priorProjectsList(), &staffList()}) {
        auto list = makeList(*listLayout, listLayout == &staffList() ? staff : prior);
        ASSERT_EQ(list->grid()->model()->columnCount(), int(listLayout->columns.size()));
        for (int i = 0; i < int(listLayout->columns.size()); ++i) {
            EXPECT_EQ(list->grid()->model()->headerData(i, Qt::Horizontal).toString(),
                      QString::fromUtf8(listLayout->columns[i].title));
            EXPECT_GE(listLayout->table.indexOf(QLatin1String(listLayout->columns[i].column)), 0)
                << listLayout->columns[i].column;
        }
    }
    EXPECT_EQ(gridByteLimits(staffList())[2], 18) << "an identity-card number";
}

TEST_F(RecordPagesTest, LockedListAndTheDeleteButton) {
    sql->insert("table2", kOldKey);
    auto list = makeList(priorProjectsList(), prior);
    list->setEditable(false);
    EXPECT_FALSE(list->deleteButton()->isEnabled()) << "locked, though a row is shown";
    EXPECT_FALSE(list->grid()->model()->flags(list->grid()->model()->index(0, 0)) & Qt::ItemIsEditable);
    list->setEditable(true);
    EXPECT_TRUE(list->deleteButton()->isEnabled());
    list->deleteButton()->click();
    EXPECT_EQ(sql->count("table2"), 0);
    EXPECT_FALSE(list->deleteButton()->isEnabled()) << "nothing left to delete";
    list->deleteButton()->click();  // on an empty list: nothing happens
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(RecordPagesTest, PausedGridShowsTheCurrentRowOnlyWhenTheLastPauseEnds) {
    for (int i = 0; i < 3; ++i) {
        sql->insert("table3", kOldKey);
    }
    auto list = makeList(staffList(), staff);
    staff.moveTo(1);
    EXPECT_EQ(list->grid()->currentIndex().row(), 1);
    {
        RowListPage::Pause outer(*list);
        {
            RowListPage::Pause inner(*list);
            staff.moveTo(2);
        }
        staff.moveTo(0);
        EXPECT_EQ(list->grid()->currentIndex().row(), 1) << "still paused";
    }
    EXPECT_EQ(list->grid()->currentIndex().row(), 0);
    list->grid()->setCurrentIndex(list->grid()->model()->index(2, 0));
    EXPECT_EQ(staff.currentRow(), 2) << "the rows follow the grid";
}

// ---- field pages ----

TEST_F(RecordPagesTest, FieldPageHoldsItsFieldsInTabOrderBoundToTheirColumns) {
    projects.open();
    BindingSet bindings(
        projects, [](const std::function<void()>& work) { work(); }, nullptr);
    for (int page = 0; page < int(pageTable().size()); ++page) {
        if (page == kPriorProjectsPage || page == kStaffPage) {
            continue;
        }
        SCOPED_TRACE(page);
        FieldPage fields(page, bindings);
        const std::vector<const FieldSpec*> defs = fieldsOfPage(page);
        ASSERT_EQ(fields.controls().size(), qsizetype(defs.size()));
        QStringList order;  // the page's controls as the focus chain passes them
        QWidget* w = &fields;
        do {
            if (fields.controls().contains(w->objectName()) && !order.contains(w->objectName())) {
                order << w->objectName();
            }
            w = w->nextInFocusChain();
        } while (w != &fields);
        QStringList expected;
        for (const FieldSpec* def : defs) {
            expected << QLatin1String(def->control);
            QWidget* control = fields.controls().value(QLatin1String(def->control));
            ASSERT_NE(control, nullptr) << def->control;
            EXPECT_EQ(control->parentWidget(), &fields);
            if (auto* edit = qobject_cast<QLineEdit*>(control); edit && edit->isEnabled()) {
                QTest::keyClicks(edit, "7");
                EXPECT_EQ(projects.text(QLatin1String(def->column)), edit->text()) << def->control;
            }
        }
        EXPECT_EQ(order, expected);
        EXPECT_EQ(fields.findChild<QFrame*>("Bevel1") != nullptr, page == 10);
        int marks = 0;
        for (QLabel* label : fields.findChildren<QLabel*>()) {
            marks += label->text() == QStringLiteral("*") ? 1 : 0;
        }
        EXPECT_EQ(marks, std::count_if(defs.begin(), defs.end(), [](auto* f) { return f->has(Required); }));
    }
}

}  // namespace
}  // namespace meridell::record
