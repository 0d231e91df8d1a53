#include "BenchData.h"
#include "BenchSupport.h"
#include "data/Connection.h"
#include "data/Dataset.h"
#include "data/ProjectQuery.h"
#include "data/SqlDialect.h"

#include <QSqlQuery>

using namespace meridell;

// A project query over 20,000 projects with about 20 KB of memo text each: open, then move from the
// first row to the last reading the grid's short columns, against a plain loop over the same rows.
MERIDELL_BENCH(dataset_open_and_traverse) {
    QString folder = bench::freshAppFolder();
    QString path = folder + "/source/project.mdb";
    bench::fillProjects(path, 20000, 20 * 1024);

    data::Connection connection("bench");
    connection.setDatabaseFile(path);
    connection.open();

    double baseline = bench::timeMs([&] {
        QSqlQuery q(connection.database());
        q.setForwardOnly(true);
        q.exec(data::sqliteDialect().select(data::ProjectQuery::allProjects()).sql);
        qint64 sum = 0;
        while (q.next()) {
            sum += q.value(3).toString().size();
        }
    });

    double before = bench::residentMemoryMb();
    data::Dataset projects("projectQuery");
    projects.setConnection(&connection);
    projects.setQuery(data::ProjectQuery::allProjects());
    qint64 sum = 0;
    double ms = bench::timeMs([&] {
        projects.open();
        for (projects.first(); !projects.eof(); projects.next()) {
            sum += projects.text("projectname").size() + projects.text("projectman").size();
        }
    });
    double growth = bench::residentMemoryMb() - before;
    bench::report("Dataset open and first-to-last over 20,000 projects", ms, "ms", 300, baseline,
                  "plain SQLite loop");
    bench::report("Dataset memory growth (data about 400 MB)", growth, "MB", 100);
}
