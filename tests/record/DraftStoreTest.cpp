#include "data/Schema.h"
#include "record/core/DraftStore.h"
#include "support/SmallDisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace meridell::record {
namespace {

Draft sampleDraft(const QString& id = QStringLiteral("a")) {
    Draft draft;
    draft.id = id;
    draft.written = QDateTime(QDate(2026, 12, 8), QTime(9, 30));
    draft.page = 11;
    draft.key = {QStringLiteral("城市化研究"), QStringLiteral("张三"), QStringLiteral("省社科院")};
    draft.project = {7,
                     {{"projectname", QStringLiteral("城市化研究")}, {"cost", 12.5}, {"remark", QVariant()}}};
    draft.staff = DraftRow{0, {{"name", QStringLiteral("李四")}, {"duty", QStringLiteral("教授")}}};
    return draft;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(DraftFile, ReadsBackWhatWasWritten) {
    Draft edit = sampleDraft();
    Draft fresh = sampleDraft(QStringLiteral("b"));
    fresh.newMode = true;
    fresh.open = true;
    fresh.key.clear();
    fresh.staff.reset();
    const auto back = draftsFromJson(draftsToJson({edit, fresh}));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, (std::vector<Draft>{edit, fresh}));
}

TEST(DraftFile, AnythingButADraftFileIsNone) {
    const QByteArray sound = draftsToJson({sampleDraft()});
    ASSERT_TRUE(draftsFromJson(sound));
    auto with = [&](const char* from, const char* to) { return QByteArray(sound).replace(from, to); };
    const QByteArray bad[] = {
        sound.left(sound.size() / 2),
        QByteArray(),
        "[]",
        with("\"version\": 2", "\"version\": 3"),
        with("meridell-draft", "other-draft"),
        with("projectname", "nosuchcolumn"),
        with("\"projectname\": \"城市化研究\"", "\"projectname\": {\"a\": 1}"),
        with("\"prior\": null", "\"prior\": {\"rowid\": 0, \"values\": {\"serial\": 3}}"),
        with("\"page\": 11", "\"page\": 13"),
        with("\"mode\": \"edit\"", "\"mode\": \"new\""),  // a new project has no stored key
        with("\"open\": false", "\"open\": 0"),
    };
    for (const QByteArray& json : bad) {
        EXPECT_FALSE(draftsFromJson(json)) << json.toStdString();
    }
}

// A file of the earlier layout (one draft, no key) is read as that one draft, open as it was left;
// an edit draft is keyed by its own key values, never by its row id alone.
TEST(DraftFile, TheEarlierLayoutIsReadAsOneDraft) {
    const QByteArray earlier =
        R"({"format": "meridell-draft", "version": 1, "mode": "edit", "page": 3,
            "project": {"rowid": 2, "values": {"projectname": "城市化研究", "projectman": "张三",
                                               "takeunit1": "省社科院", "cost": 4}},
            "prior": null, "staff": null})";
    const auto edit = draftsFromJson(earlier);
    ASSERT_TRUE(edit && edit->size() == 1);
    EXPECT_TRUE(edit->front().open);
    EXPECT_EQ(edit->front().page, 3);
    EXPECT_EQ(edit->front().key, sampleDraft().key);
    EXPECT_EQ(edit->front().project.rowId, 2);
    const auto fresh = draftsFromJson(QByteArray(earlier).replace("\"edit\"", "\"new\""));
    ASSERT_TRUE(fresh && fresh->size() == 1);
    EXPECT_TRUE(fresh->front().newMode && fresh->front().key.isEmpty());
}

TEST(DraftFile, EveryTextComesBackCutToItsColumn) {
    Draft draft = sampleDraft();
    const QString huge(1300000, QChar(u'研'));
    draft.key[0] = huge;
    draft.project.values["projectname"] = huge;
    draft.project.values["remark"] = huge;
    draft.staff->values["duty"] = huge;
    const auto back = draftsFromJson(draftsToJson({draft}));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->front().key[0].size(), 80);
    EXPECT_EQ(back->front().project.values["projectname"].toString().size(), 80);
    EXPECT_EQ(back->front().project.values["remark"].toString().size(), 65535);
    EXPECT_EQ(back->front().staff->values["duty"].toString().size(), draftLimit(data::table3(), "duty"));
    EXPECT_EQ(back->front().project.values["cost"], 12.5);
    EXPECT_EQ(shortName(huge).size(), 30);
    EXPECT_TRUE(shortName(huge).endsWith(QStringLiteral("…")));
    EXPECT_EQ(shortName(QStringLiteral("城市化研究")), QStringLiteral("城市化研究"));
}

class DraftStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
};

struct HostileCase {
    const char* what;
    std::function<void(const QString& path, const QString& outside)> make;
};

// Nothing in the place of the file but a regular file is read, written through or removed: it is
// moved aside and told once, and the drafts go to a regular file of their own.
TEST_F(DraftStoreTest, ALinkOrAFolderInItsPlaceIsMovedAsideNotFollowed) {
    const HostileCase cases[] = {
        {"link to a file",
         [](const QString& p, const QString& o) {
             writeFile(o, "precious");
             QFile::link(o, p);
         }},
        {"dangling link", [](const QString& p, const QString& o) { QFile::link(o, p); }},
        {"link to a draft",
         [](const QString& p, const QString& o) {
             writeFile(o, draftsToJson({sampleDraft("x")}));
             QFile::link(o, p);
         }},
        {"folder", [](const QString& p, const QString&) { QDir().mkpath(p + "/inside"); }},
    };
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir folder;
        const QString p = folder.filePath("draft.json");
        const QString o = folder.filePath("outside.txt");
        c.make(p, o);
        const QByteArray before = readFile(o);
        DraftStore store(p);
        EXPECT_TRUE(store.drafts().empty());
        EXPECT_TRUE(store.put(sampleDraft()));
        EXPECT_TRUE(store.put(sampleDraft("b")));
        const QStringList notices = store.takeNotices();
        ASSERT_EQ(notices.size(), 1);
        EXPECT_TRUE(notices[0].contains(QStringLiteral("不是普通文件"))) << notices[0].toStdString();
        EXPECT_EQ(readFile(o), before);
        EXPECT_EQ(QFileInfo::exists(o), !before.isEmpty());
        EXPECT_TRUE(QFileInfo(p + ".bad").isSymLink() || QFileInfo(p + ".bad").isDir());
        EXPECT_FALSE(QFileInfo(p).isSymLink());
        EXPECT_EQ(DraftStore(p).drafts().size(), 2u);
    }
}

TEST_F(DraftStoreTest, ADamagedFileIsKeptAsideAndToldOnce) {
    const QByteArray sound = draftsToJson({sampleDraft()});
    const QByteArray damaged[] = {
        "{not json",
        QByteArray(sound).replace("\"version\": 2", "\"version\": 3"),
        QByteArray(sound).replace("\"format\": \"meridell-draft\"", "\"format\": \"other\""),
        QByteArray(sound).replace("projectname", "nosuchcolumn"),
        sound + QByteArray(DraftStore::kMostBytes, ' '),
    };
    for (const QByteArray& bytes : damaged) {
        QTemporaryDir folder;
        const QString p = folder.filePath("draft.json");
        writeFile(p + ".bad", "an older one");
        writeFile(p, bytes);
        DraftStore store(p);
        EXPECT_TRUE(store.drafts().empty());
        EXPECT_TRUE(store.put(sampleDraft()));
        const QStringList notices = store.takeNotices();
        ASSERT_EQ(notices.size(), 1);
        EXPECT_TRUE(notices[0].contains(QStringLiteral("已损坏"))) << notices[0].toStdString();
        EXPECT_TRUE(notices[0].contains(QStringLiteral("draft.json.bad2")));
        EXPECT_EQ(readFile(p + ".bad2"), bytes);
        EXPECT_EQ(readFile(p + ".bad"), "an older one");
    }
}

TEST_F(DraftStoreTest, AFolderThatTakesNoDraftIsToldOnce) {
    test::SmallDisk disk(dir.filePath("disk"), 1 << 20);
    if (!disk.isMounted()) {
        GTEST_SKIP() << "mounting a file system of the test's own needs the right to mount";
    }
    const QString p = disk.folder() + "/draft.json";
    QDir().mkpath(p);
    ASSERT_TRUE(disk.setReadOnly(true));
    DraftStore store(p);
    EXPECT_TRUE(store.drafts().empty());
    EXPECT_FALSE(store.put(sampleDraft()));
    EXPECT_FALSE(store.put(sampleDraft("b")));
    const QStringList notices = store.takeNotices();
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].contains(QStringLiteral("不受保护"))) << notices[0].toStdString();
    EXPECT_TRUE(QFileInfo(p).isDir());

    ASSERT_TRUE(disk.setReadOnly(false));
    QDir(p).removeRecursively();
    ASSERT_TRUE(disk.setReadOnly(true));
    DraftStore readOnly(p);
    EXPECT_FALSE(readOnly.put(sampleDraft()));
    EXPECT_FALSE(readOnly.put(sampleDraft("b")));
    ASSERT_EQ(readOnly.takeNotices().size(), 1);
    EXPECT_TRUE(readOnly.takeNotices().isEmpty());
}

}  // namespace
}  // namespace meridell::record
