// Nested Transaction scopes as savepoints, and a broken unique key as a conflict, on a scratch file.
#include "ScratchDatabase.h"
#include "data/Connection.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace meridell::data {
namespace {

using Cause = DatabaseError::Cause;

// Runs the steps of a case: "(" opens a scope, "+x" inserts the key x, "!x" inserts x and expects
// the conflict of a key already there, "c" commits and "r" rolls back the innermost open scope.
QStringList keysAfter(const QStringList& steps) {
    test::ScratchDatabase db({"create table t(k text unique)"});
    std::vector<std::unique_ptr<Transaction>> scopes;
    for (const QString& step : steps) {
        const QString key = step.mid(1);
        if (step == "(") {
            scopes.push_back(std::make_unique<Transaction>(db.connection));
        } else if (step.startsWith('+')) {
            db.connection.exec("insert into t values('" + key + "')");
        } else if (step.startsWith('!')) {
            try {
                db.connection.exec("insert into t values('" + key + "')");
                ADD_FAILURE() << "no conflict on " << key.toStdString();
            } catch (const DatabaseError& e) {
                EXPECT_EQ(e.cause(), Cause::Conflict) << e.text().toStdString();
                EXPECT_EQ(e.text().section('\n', 0, 0), DatabaseError::sentence(Cause::Conflict));
            }
        } else {
            step == "c" ? scopes.back()->commit() : scopes.back()->rollback();
            scopes.pop_back();
        }
    }
    EXPECT_FALSE(db.connection.inTransaction());
    QStringList keys;
    for (int row = 1;; ++row) {
        const QVariant k =
            db.scalar(QStringLiteral("select k from t order by k limit 1 offset %1").arg(row - 1));
        if (!k.isValid()) {
            return keys;
        }
        keys << k.toString();
    }
}

TEST(SavepointTest, NestedScopesKeepOrUndoTheirOwnWork) {
    struct Case {
        const char* name;
        QStringList steps;
        QStringList kept;
    };
    const Case cases[] = {
        {"inner rollback keeps the outer work", {"(", "+a", "(", "+b", "r", "c"}, {"a"}},
        {"both committed", {"(", "+a", "(", "+b", "c", "c"}, {"a", "b"}},
        {"outer rollback undoes a committed inner scope", {"(", "+a", "(", "+b", "c", "r"}, {}},
        {"innermost rollback of three", {"(", "+a", "(", "+b", "(", "+c", "r", "c", "c"}, {"a", "b"}},
        {"middle rollback undoes its committed inner scope",
         {"(", "+a", "(", "+b", "(", "+c", "c", "r", "c"},
         {"a"}},
        {"work after an inner rollback is kept", {"(", "(", "+a", "r", "+b", "c"}, {"b"}},
        {"a conflict in an inner scope leaves the outer work", {"(", "+a", "(", "!a", "r", "c"}, {"a"}},
        {"a conflict outside a scope changes nothing", {"+a", "!a", "+b"}, {"a", "b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(keysAfter(c.steps), c.kept);
    }
}

}  // namespace
}  // namespace meridell::data
