#include "record/QStringPrinter.h"
#include "record/core/DraftChoice.h"

#include <gtest/gtest.h>

namespace meridell::record {
namespace {

const QStringList kKey{QStringLiteral("城市化研究"), QStringLiteral("张三"), QStringLiteral("省社科院")};
const QStringList kOtherKey{QStringLiteral("乡村研究"), QStringLiteral("张三"), QStringLiteral("省社科院")};

Draft draft(const char* id, int minute, bool newMode, const QStringList& key, bool open = false) {
    Draft d;
    d.id = QLatin1String(id);
    d.written = QDateTime(QDate(2026, 12, 8), QTime(9, minute));
    d.newMode = newMode;
    d.key = key;
    d.open = open;
    return d;
}

TEST(KeptDraft, TheNewestOfTheSameModeAndKeyButNotTheOpeningsOwn) {
    const std::vector<Draft> drafts = {
        draft("old", 1, false, kKey),        draft("newer", 5, false, kKey),    draft("own", 9, false, kKey),
        draft("other", 7, false, kOtherKey), draft("new project", 8, true, {}),
    };
    struct Case {
        const char* what;
        bool newMode;
        QStringList key;
        QString expected;  // empty: none
    };
    const Case cases[] = {
        {"edit mode on the project", false, kKey, "newer"},
        {"edit mode on another project", false, kOtherKey, "other"},
        {"new mode", true, {}, "new project"},
        {"a project without drafts", false, {"x", "y", "z"}, ""},
    };
    for (const Case& c : cases) {
        const std::optional<Draft> kept = keptDraftFor(drafts, QStringLiteral("own"), c.newMode, c.key);
        EXPECT_EQ(kept ? kept->id : QString(), c.expected) << c.what;
    }
}

TEST(KeptDraft, OfTwoWrittenAtTheSameTimeTheLaterInTheFileWins) {
    const std::vector<Draft> drafts = {draft("first", 3, false, kKey), draft("second", 3, false, kKey)};
    EXPECT_EQ(keptDraftFor(drafts, QString(), false, kKey)->id, "second");
}

TEST(StartOffer, TheNewestOpenDraftIsOfferedAndTheOtherOpenOnesAreClosed) {
    struct Case {
        const char* what;
        std::vector<Draft> drafts;
        QString offered;  // empty: none
        QStringList closed;
    };
    const Case cases[] = {
        {"no drafts", {}, "", {}},
        {"none open", {draft("a", 1, false, kKey), draft("b", 2, true, {})}, "", {}},
        {"one open", {draft("a", 1, false, kKey), draft("b", 2, true, {}, true)}, "b", {}},
        {"several open",
         {draft("late", 9, false, kKey, true), draft("early", 1, true, {}, true),
          draft("left", 5, false, kKey), draft("middle", 4, false, kOtherKey, true)},
         "late",
         {"early", "middle"}},
        {"open at the same time",
         {draft("a", 2, false, kKey, true), draft("b", 2, true, {}, true)},
         "b",
         {"a"}},
    };
    for (const Case& c : cases) {
        const StartOffer offer = startOffer(c.drafts);
        EXPECT_EQ(offer.offered ? offer.offered->id : QString(), c.offered) << c.what;
        QStringList closed;
        for (const Draft& d : offer.closed) {
            EXPECT_FALSE(d.open) << c.what;
            closed << d.id;
        }
        EXPECT_EQ(closed, c.closed) << c.what;
    }
}

}  // namespace
}  // namespace meridell::record
