// The record form on a server while another seat changes the same project: 保存修改 tells the user
// through the message service, keeps the typing as a draft at once, and the draft is offered when
// the project is opened again, where saving it goes through.
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "data/Connection.h"
#include "data/ProjectDatabaseCheck.h"
#include "record/RecordFormFixture.h"
#include "record/core/DraftStore.h"
#include "support/PgServer.h"

#include <QSqlQuery>
#include <QUuid>

#include <gtest/gtest.h>

namespace meridell::record {
namespace {

using test::RecordingMessages;

class SeatConflictWindowTest : public test::RecordFormTest {
protected:
    SeatConflictWindowTest() { startInSetUp = false; }

    void SetUp() override {
        if (!test::PgServer::installed()) {
            GTEST_SKIP() << "PostgreSQL 15 server programs are not installed";
        }
        server_ = std::make_unique<test::PgServer>();
        ASSERT_TRUE(server_->running()) << server_->why().toStdString();
        other_.setDatabase(server_->uri());
        ASSERT_NO_THROW(other_.open());
        ASSERT_NO_THROW(data::requireProjectDatabase(other_));
        run("insert into table1 (projectname, projectman, takeunit1, classcode, telephone) values "
            "('城市化研究', '张三', '省社科院', 'A01', '0731-1111111')");
        run("insert into table3 (projectname, projectman, takeunit1, name) values "
            "('城市化研究', '张三', '省社科院', '张三')");
        context_ = app::startUp(AppPlaces::inPlace(folder.path()), messages, server_->uri());
        context_->today = [this] { return today; };
        context_->openDocuments = false;
        context_->mainWindowWidget->show();
        QApplication::processEvents();
    }

    void TearDown() override {
        test::RecordFormTest::TearDown();
        other_.close();
        server_.reset();
    }

    // A statement of the other seat.
    void run(const QString& sql) {
        QSqlQuery q(other_.database());
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString();
    }
    QString storedTelephone() {
        QSqlQuery q(other_.database());
        return q.exec("select telephone from table1") && q.next() ? q.value(0).toString() : QString();
    }
    std::vector<Draft> drafts() const { return DraftStore(draftPath(folder.path())).drafts(); }

    std::unique_ptr<test::PgServer> server_;
    data::Connection other_{QUuid::createUuid().toString()};
};

TEST_F(SeatConflictWindowTest, TheSecondSaveIsToldKeptAsADraftAndOfferedAgain) {
    openEdit(1);
    retype(controls::telephoneEdit, "0731-2222222");
    run("update table1 set telephone = '0731-3333333', row_version = row_version + 1");
    messages.clear();
    form().saveChangesButton->click();
    QApplication::processEvents();

    const QStringList errors = messages.texts(RecordingMessages::Kind::Error);
    ASSERT_EQ(errors.size(), 1) << messages.shown().join('\n').toStdString();
    EXPECT_TRUE(errors.front().contains(QStringLiteral("其他"))) << errors.front().toStdString();
    EXPECT_EQ(storedTelephone(), QStringLiteral("0731-3333333")) << "the first seat's value stays";
    // Kept at once, before any pause of the typing.
    ASSERT_EQ(drafts().size(), 1U);
    EXPECT_EQ(drafts().front().project.values.value("telephone").toString(), QStringLiteral("0731-2222222"));

    form().leaveButton->click();
    QApplication::processEvents();
    messages.clear();
    messages.confirmAnswers.push_back(true);
    openEdit(1);
    const QStringList asked = messages.texts(RecordingMessages::Kind::Confirm);
    ASSERT_EQ(asked.size(), 1) << messages.shown().join('\n').toStdString();
    EXPECT_TRUE(asked.front().contains(QStringLiteral("要恢复这些内容吗"))) << asked.front().toStdString();
    EXPECT_EQ(form().controlAs<QLineEdit>(controls::telephoneEdit)->text(), QStringLiteral("0731-2222222"));

    // Opened again, the project is read as the other seat left it: saving now goes through.
    messages.clear();
    form().saveChangesButton->click();
    QApplication::processEvents();
    EXPECT_TRUE(messages.texts(RecordingMessages::Kind::Error).isEmpty())
        << messages.shown().join('\n').toStdString();
    EXPECT_EQ(storedTelephone(), QStringLiteral("0731-2222222"));
    EXPECT_TRUE(drafts().empty());
}

}  // namespace
}  // namespace meridell::record
