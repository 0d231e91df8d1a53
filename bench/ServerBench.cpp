// The office database on a PostgreSQL server against the same work on a database file, measured in
// the same run: each case starts a throwaway server of its own and copies the file's projects onto it.
#include "BenchData.h"
#include "BenchSupport.h"
#include "data/Connection.h"
#include "data/DatabaseFile.h"
#include "data/Databases.h"
#include "data/Dataset.h"
#include "data/ProjectDatabaseCheck.h"
#include "data/ProjectQuery.h"
#include "exchange/core/BatchImport.h"
#include "exchange/core/OfficeCopy.h"
#include "exchange/core/ZipService.h"
#include "support/PgServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QUuid>

#include <cstdio>
#include <thread>

using namespace meridell;

namespace {

QString uniqueName(const char* prefix) {
    return QString::fromLatin1(prefix) + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// A server with the projects of the file at `path` copied onto its database; nothing when the
// server's programs are missing or it does not start (the case then says so and measures nothing).
std::unique_ptr<test::PgServer> serverWith(const QString& path) {
    if (!test::PgServer::installed()) {
        std::printf("  PostgreSQL 15 server programs are not installed\n");
        return nullptr;
    }
    auto server = std::make_unique<test::PgServer>();
    if (!server->running()) {
        std::printf("  the server did not start: %s\n", server->why().toUtf8().constData());
        return nullptr;
    }
    data::Connection office(uniqueName("bench-office-"));
    office.setDatabase(server->uri());
    office.open();
    data::requireProjectDatabase(office);
    if (!path.isEmpty()) {
        data::Connection source(uniqueName("bench-source-"));
        exchange::openCopySource(source, path);
        exchange::OfficeCopyCounts counts;
        const double ms = bench::timeMs([&] { counts = exchange::copyOfficeDatabase(office, source); });
        std::printf("  copied %d projects onto the server in %.0f ms\n", counts.copied, ms);
        // What the server's autovacuum does soon after a copy this large: the statistics, and the
        // map of pages all visible, by which a list of row ids is read from the key's index alone.
        QSqlQuery vacuum(office.database());
        vacuum.exec(QStringLiteral("vacuum analyze"));
    }
    return server;
}

// Opens `projects` afresh and reads the short columns of its first `rows` rows. The dataset stays
// between openings, as a page's does, so that its prepared statements serve the next one.
void openAndRead(data::Dataset& projects, int rows) {
    projects.close();
    projects.open();
    qint64 sum = 0;
    int read = 0;
    for (projects.first(); !projects.eof() && read < rows; projects.next(), ++read) {
        sum += projects.text("projectname").size() + projects.text("projectman").size() +
               projects.text("takeunit1").size() + projects.text("classcode").size();
    }
    if (sum < 0) {
        std::printf("  impossible sum\n");
    }
}

// The same opening on the file and on the server, best of three each, reported as a ratio.
void compareOpening(const QString& figure, const data::ProjectQuery& query, int rows, int projects) {
    const QString path = bench::freshAppFolder() + "/source/project.mdb";
    bench::fillProjects(path, projects, 4 * 1024);
    const auto server = serverWith(path);
    if (!server) {
        return;
    }
    data::Connection file(uniqueName("bench-file-"));
    file.setDatabaseFile(path);
    file.open();
    data::Connection onServer(uniqueName("bench-server-"));
    onServer.setDatabase(server->uri());
    onServer.open();
    data::Dataset fileProjects(uniqueName("bench-file-projects-"));
    data::Dataset serverProjects(uniqueName("bench-server-projects-"));
    for (auto [dataset, connection] :
         {std::pair{&fileProjects, &file}, std::pair{&serverProjects, &onServer}}) {
        dataset->setConnection(connection);
        dataset->setQuery(query);
        openAndRead(*dataset, rows);  // warm, as after the page's first opening in a session
    }
    const double fileMs = bench::timeMs([&] { openAndRead(fileProjects, rows); }, 3);
    const double serverMs = bench::timeMs([&] { openAndRead(serverProjects, rows); }, 3);
    bench::report(figure + " on the server", serverMs, "ms", 2 * fileMs, fileMs,
                  "the same on a database file");
    bench::report(figure + ": server / file", serverMs / fileMs, "x", 2);
}

}  // namespace

// A query with three criteria (分类代码, 承担单位, 项目负责人) over 20,000 projects, all its rows read.
MERIDELL_BENCH(server_query) {
    data::ProjectQuery query = data::ProjectQuery::allProjects();
    query.where(QStringLiteral("classcode"), data::Comparison::Contains, QStringLiteral("1"))
        .where(QStringLiteral("takeunit1"), data::Comparison::Contains, QStringLiteral("承担单位1"))
        .where(QStringLiteral("projectman"), data::Comparison::Contains, QStringLiteral("负责人1"));
    compareOpening(QStringLiteral("query with three criteria over 20,000 projects"), query, 1 << 30, 20000);
}

// The list page's opening over 20,000 projects: every project listed, the first screen of rows read.
MERIDELL_BENCH(server_list_page) {
    compareOpening(QStringLiteral("list page open over 20,000 projects"), data::ProjectQuery::allProjects(),
                   40, 20000);
}

namespace {

// The batch of `archives` into the office database on `module`'s main connection, in milliseconds.
double timedBatch(data::Databases& module, const QString& folder, const QStringList& archives) {
    module.bindQueries();
    exchange::BatchReport report;
    bench::settleDisk();
    const double ms = bench::timeMs([&] {
        report = exchange::runBatchImport({AppPlaces::inPlace(folder), {}}, module, archives,
                                          exchange::BatchHooks{});
    });
    std::printf("  %s\n", exchange::batchSummary(report).toUtf8().constData());
    return ms;
}

}  // namespace

// 300 archives of 3 projects each (3 prior projects and 6 staff each) into 5,000 projects.
MERIDELL_BENCH(server_batch_import) {
    const QString office = bench::freshAppFolder();
    bench::fillProjects(data::mainDatabasePath(office), 5000, 8 * 1024, 3, 6, QStringLiteral("办公室项目"));
    const auto server = serverWith(data::mainDatabasePath(office));
    if (!server) {
        return;
    }
    const QString work = bench::freshAppFolder() + QStringLiteral("/archives");
    QStringList archives;
    for (int i = 0; i < 300; ++i) {
        const QString folder = work + QStringLiteral("/%1").arg(i);
        QDir().mkpath(folder);
        const QString database = folder + QStringLiteral("/project.mdb");
        data::createProjectDatabase(database);
        bench::fillProjects(database, 3, 8 * 1024, 3, 6, QStringLiteral("申报%1-").arg(i));
        archives << folder + QStringLiteral("/project.zip");
        exchange::ZipFileList(archives.back(), {database});
    }
    double fileMs = 0;
    {
        data::Databases module;
        module.mainConnection.setDatabaseFile(data::mainDatabasePath(office));
        module.mainConnection.open();
        fileMs = timedBatch(module, office, archives);
    }
    double serverMs = 0;
    {
        data::Databases module;
        module.mainConnection.setDatabase(server->uri());
        module.mainConnection.open();
        serverMs = timedBatch(module, bench::freshAppFolder(), archives);
    }
    bench::report("batch import of 300 archives into 5,000 projects on the server", serverMs, "ms",
                  2 * fileMs, fileMs, "the same into a database file");
    bench::report("batch import: server / file", serverMs / fileMs, "x", 2);
}

namespace {

// One seat saving `saves` projects one after another, from row `first` of the list, each save a
// change of 备注 written at once; returns how many were written.
int saveProjects(const QString& address, int first, int saves) {
    data::Connection seat(uniqueName("bench-seat-"));
    seat.setDatabase(address);
    seat.open();
    data::Dataset projects(uniqueName("bench-saves-"));
    projects.setConnection(&seat);
    projects.setQuery(data::ProjectQuery::allProjects());
    projects.open();
    int saved = 0;
    for (int i = 0; i < saves; ++i) {
        projects.moveTo(first + i);
        projects.edit();
        projects.setValue(QStringLiteral("remark"), QStringLiteral("第%1次保存").arg(i));
        projects.post();
        ++saved;
    }
    projects.close();
    return saved;
}

}  // namespace

// Two seats each saving 1,000 different projects at the same time, every save kept.
MERIDELL_BENCH(server_two_seats) {
    constexpr int kSaves = 1000;
    const QString path = bench::freshAppFolder() + "/source/project.mdb";
    bench::fillProjects(path, 2 * kSaves, 1024);
    const auto server = serverWith(path);
    if (!server) {
        return;
    }
    int saved[2] = {0, 0};
    QString failures[2];
    QElapsedTimer timer;
    timer.start();
    std::thread seats[2];
    for (int s = 0; s < 2; ++s) {
        seats[s] = std::thread([&, s] {
            try {
                saved[s] = saveProjects(server->uri(), s * kSaves, kSaves);
            } catch (const std::exception& e) {
                failures[s] = QString::fromUtf8(e.what());
            }
        });
    }
    for (std::thread& seat : seats) {
        seat.join();
    }
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    for (const QString& failure : failures) {
        if (!failure.isEmpty()) {
            std::printf("  a seat failed: %s\n", failure.toUtf8().constData());
        }
    }
    data::Connection check(uniqueName("bench-check-"));
    check.setDatabase(server->uri());
    check.open();
    QSqlQuery kept(check.database());
    kept.exec(QStringLiteral("select count(*) from table1 where remark like '第%次保存'"));
    const int keptRows = kept.next() ? kept.value(0).toInt() : 0;
    std::printf("  saves written %d + %d, kept %d of %d\n", saved[0], saved[1], keptRows, 2 * kSaves);
    bench::report("two seats saving 1,000 projects each at the same time", ms, "ms", 60000);
    std::printf("saves per second, both seats together: %.0f saves/s\n", 2 * kSaves / (ms / 1000));
}
