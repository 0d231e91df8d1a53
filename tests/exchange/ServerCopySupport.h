#pragma once

#include "data/ProjectDatabaseCheck.h"
#include "data/ServerDatabase.h"
#include "data/SubmittedDatabase.h"
#include "exchange/ExchangeSupport.h"
#include "exchange/core/SubmissionCopy.h"
#include "exchange/core/SubmittedDatabase.h"

#include <QTemporaryDir>

namespace meridell::exchange::test {

// An office database on a throwaway server with the project tables, and submitted databases made
// as SQLite files in a folder of the test's own.
class ServerCopyTest : public data::test::ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        ASSERT_NO_THROW(data::requireProjectDatabase(connection));
    }

    // A submitted database `name` in the test's folder, filled by `fill`.
    QString submission(const QString& name, const std::function<void(meridell::test::SqlFile&)>& fill) {
        const QString path = dir.filePath(name + QStringLiteral("/project.mdb"));
        meridell::test::makeProjectDatabase(path, fill);
        return path;
    }

    // Copies the submission at `path` onto the office database on `office`, as an import does.
    static ImportCounts copyOnto(data::Connection& office, const QString& path,
                                 const Progress& progress = {}) {
        data::Connection source(QUuid::createUuid().toString());
        refusingSubmission([&] { data::openSubmittedDatabase(source, path); });
        return copySubmittedRows(office, source, progress);
    }
    ImportCounts copy(const QString& path) { return copyOnto(connection, path); }

    // Every value of the first column of `sql`'s rows, joined by commas.
    QString joined(const QString& sql) {
        QSqlQuery q(connection.database());
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
        QStringList values;
        while (q.next()) {
            values << (q.value(0).isNull() ? QStringLiteral("NULL") : q.value(0).toString());
        }
        return values.join(u',');
    }
    int count(const QString& table) {
        return scalar(QStringLiteral("select count(*) from ") + table).toInt();
    }

    QTemporaryDir dir;
};

}  // namespace meridell::exchange::test
