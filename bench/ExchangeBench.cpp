#include "BenchData.h"
#include "BenchSupport.h"
#include "data/Databases.h"
#include "data/Schema.h"
#include "exchange/core/Export.h"
#include "exchange/core/Import.h"
#include "exchange/core/ZipService.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>

#include <cstdio>
#include <vector>

using namespace meridell;

namespace {

constexpr int kMemoBytes = 8 * 1024;

using Rows = std::vector<QVariantList>;

// Every row of one table, the counter column left out.
Rows readRows(QSqlDatabase& db, const data::TableDef& table, QStringList* names) {
    names->clear();
    for (const data::Column& c : table.columns) {
        if (c.type != data::ColumnType::Counter) {
            *names << QStringLiteral("\"%1\"").arg(QLatin1String(c.name));
        }
    }
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.exec(QStringLiteral("select %1 from %2").arg(names->join(','), QLatin1String(table.name)));
    Rows rows;
    while (q.next()) {
        QVariantList row;
        for (int i = 0; i < names->size(); ++i) {
            row << q.value(i);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

// Plain prepared inserts of the submitted rows into `target`, in one transaction.
double rawInsertMs(const QString& submitted, const QString& target) {
    const QString name = "raw-" + QUuid::createUuid().toString();
    double ms = 0;
    {
        QSqlDatabase source = QSqlDatabase::addDatabase("QSQLITE", name + "s");
        source.setDatabaseName(submitted);
        source.open();
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(target);
        db.open();
        std::vector<std::pair<QString, Rows>> work;
        for (const data::TableDef* t : data::allTables()) {
            QStringList names;
            Rows rows = readRows(source, *t, &names);
            QStringList marks(names.size(), "?");
            work.emplace_back(QStringLiteral("insert into %1 (%2) values (%3)")
                                  .arg(QLatin1String(t->name), names.join(','), marks.join(',')),
                              std::move(rows));
        }
        ms = bench::timeMs([&] {
            db.transaction();
            for (const auto& [sql, rows] : work) {
                QSqlQuery q(db);
                q.prepare(sql);
                for (const QVariantList& row : rows) {
                    for (int i = 0; i < row.size(); ++i) {
                        q.bindValue(i, row[i]);
                    }
                    q.exec();
                }
            }
            db.commit();
        });
        db.close();
        source.close();
    }
    QSqlDatabase::removeDatabase(name);
    QSqlDatabase::removeDatabase(name + "s");
    return ms;
}

struct ImportFigures {
    double importMs = 0;
    double rawMs = 0;
    int progressSteps = 0;
};

// An office database holding `projects` projects imports a submission of as many other projects
// with 3 prior projects and 6 staff each.
ImportFigures measureImport(int projects) {
    const QString office = bench::freshAppFolder();
    const QString applicant = bench::freshAppFolder();
    const QString spare = bench::freshAppFolder();
    bench::fillProjects(data::mainDatabasePath(office), projects, kMemoBytes, 3, 6,
                        QStringLiteral("办公室项目"));
    bench::fillProjects(data::mainDatabasePath(spare), projects, kMemoBytes, 3, 6,
                        QStringLiteral("办公室项目"));
    const QString submitted = data::mainDatabasePath(applicant);
    bench::fillProjects(submitted, projects, kMemoBytes, 3, 6, QStringLiteral("申报项目"));
    const QString archive = applicant + "/project.zip";
    exchange::ZipFileList(archive, {submitted});

    ImportFigures figures;
    figures.rawMs = rawInsertMs(submitted, data::mainDatabasePath(spare));

    data::Databases module;
    module.mainConnection.setDatabaseFile(data::mainDatabasePath(office));
    module.mainConnection.open();
    module.bindQueries();
    exchange::ImportHooks hooks;
    QString message;
    hooks.inform = [&](const QString& text) { message = text; };
    hooks.beep = hooks.showProgress = hooks.hideProgress = hooks.closeProgress = hooks.repaint = [] {};
    QElapsedTimer clock;
    clock.start();
    QStringList marks;
    hooks.progress = [&](int value) {
        ++figures.progressSteps;
        if (value % 5 == 0) {
            marks << QStringLiteral("%1:%2").arg(value).arg(clock.elapsed());
        }
    };
    figures.importMs = bench::timeMs([&] {
        exchange::runImport({AppPlaces::inPlace(office), {}}, module, archive, hooks);
    });
    std::printf("  %s\n  %s\n", message.toUtf8().constData(), marks.join(' ').toUtf8().constData());
    return figures;
}

}  // namespace

// Import of 10,000 projects with 30,000 prior-project and 60,000 staff rows into a database holding
// 10,000 others, against plain prepared inserts of the same rows; then the same at twice the size.
MERIDELL_BENCH(exchange_import) {
    ImportFigures one = measureImport(10000);
    bench::report("import of 10,000 projects + 90,000 rows", one.importMs, "ms", 3000, one.rawMs,
                  "plain prepared inserts");
    bench::report("import time / plain prepared inserts", one.importMs / one.rawMs, "x", 3);
    bench::report("import progress updates", one.progressSteps, "", 1000);
    ImportFigures two = measureImport(20000);
    bench::report("import of 20,000 projects + 180,000 rows", two.importMs, "ms", 2 * one.importMs, two.rawMs,
                  "plain prepared inserts");
    bench::report("import time at double size / single size", two.importMs / one.importMs, "x", 2);
}

// Export of a database of about 200 MB to a folder, against Debian's zip on the same file.
MERIDELL_BENCH(exchange_export) {
    const QString folder = bench::freshAppFolder();
    const QString database = data::mainDatabasePath(folder);
    bench::fillProjects(database, 10000, 20 * 1024, 3, 6);
    std::printf("  database: %.0f MB\n", QFileInfo(database).size() / 1e6);

    const QString target = folder + "/out";
    QDir().mkpath(target);
    double zipMs = bench::timeMs([&] {
        QFile::remove(target + "/debian.zip");
        QProcess zip;
        zip.setWorkingDirectory(folder + "/source");
        zip.start("zip", {"-q", target + "/debian.zip", "project.mdb"});
        zip.waitForFinished(-1);
    });

    data::Connection main("bench-export");
    main.setDatabaseFile(database);
    main.open();
    exchange::ExportPlaces places = exchange::defaultExportPlaces(AppPlaces::inPlace(folder));
    exchange::Dialogue dialogue{[](const QString& text) { std::printf("  %s\n", text.toUtf8().constData()); },
                                [](const QString&) { return true; }};
    double libzipMs = bench::timeMs([&] { exchange::ZipFileList(target + "/libzip.zip", {database}); });
    std::printf("  libzip alone %.0f ms, archive %.1f MB\n", libzipMs,
                QFileInfo(target + "/libzip.zip").size() / 1e6);
    double exportMs = bench::timeMs([&] { exchange::exportToFolder(places, main, target, dialogue); });
    bench::report("export of a 200 MB database", exportMs, "ms", 2 * zipMs, zipMs, "Debian zip");
    bench::report("export time / Debian zip", exportMs / zipMs, "x", 2);
}
