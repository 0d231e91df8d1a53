// The menu entry that copies the projects of another office database into the open one.
#include "exchange/ExchangeSupport.h"
#include "support/AppFixture.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace meridell::exchange {
namespace {

using test::addPrior;
using test::addProject;
using test::addStaff;
using test::RecordingMessages;
using test::SqlFile;

class CopyDatabaseMenuTest : public test::AppFixture {
protected:
    const QString entry = QStringLiteral("从其他项目数据库复制项目...");
    QTemporaryDir other;
};

TEST_F(CopyDatabaseMenuTest, CopiesOnceAndTellsTheCounts) {
    {
        SqlFile db(folder.databasePath());
        addProject(db, QStringLiteral("甲"), QStringLiteral("张三"), QStringLiteral("一所"));
    }
    const QString source = other.filePath("project.mdb");
    test::makeProjectDatabase(source, [](SqlFile& db) {
        for (const QString& name : {QStringLiteral("甲"), QStringLiteral("乙")}) {
            addProject(db, name, QStringLiteral("张三"), QStringLiteral("一所"));
            addPrior(db, name, QStringLiteral("张三"), QStringLiteral("一所"), "前期");
            addStaff(db, name, QStringLiteral("张三"), QStringLiteral("一所"), QStringLiteral("王五"));
        }
    });
    struct Step {
        QString chosen;
        QString says;
    };
    const std::vector<Step> steps{
        {source, QStringLiteral("已复制1个项目，1个项目已经存在，未重复复制。")},
        {source, QStringLiteral("已复制0个项目，2个项目已经存在，未重复复制。")},
        {other.filePath("absent.mdb"), QStringLiteral("无法打开要复制的项目数据库")},
    };
    for (const Step& step : steps) {
        messages.clear();
        messages.fileAnswers = {step.chosen};
        triggerMenu(entry);
        ASSERT_EQ(messages.texts(RecordingMessages::Kind::Inform).size(), 1);
        EXPECT_TRUE(messages.texts(RecordingMessages::Kind::Inform).front().startsWith(step.says))
            << messages.texts(RecordingMessages::Kind::Inform).front().toStdString();
    }
    SqlFile db(folder.databasePath());
    EXPECT_EQ(db.count("table1"), 2);
    EXPECT_EQ(db.count("table2"), 1);
    EXPECT_EQ(db.count("table3"), 1);

    messages.clear();  // a cancelled choice does nothing
    triggerMenu(entry);
    EXPECT_TRUE(messages.texts(RecordingMessages::Kind::Inform).isEmpty());
}

}  // namespace
}  // namespace meridell::exchange
