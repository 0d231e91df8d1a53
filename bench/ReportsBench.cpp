// The batch import of many archives and the spreadsheet of a large result, each against a baseline
// measured in the same run.
#include "BenchData.h"
#include "BenchSupport.h"
#include "data/Connection.h"
#include "data/DatabaseFile.h"
#include "data/Databases.h"
#include "data/Schema.h"
#include "exchange/core/ArchiveFolder.h"
#include "exchange/core/BatchImport.h"
#include "exchange/core/ZipService.h"
#include "lists/core/ProjectWorkbook.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryFile>
#include <QUuid>

#include <cstdio>
#include <vector>
#include <xlsxwriter.h>

using namespace meridell;

namespace {

// The sqlite3 tool merging the databases one after another into `target`: the prior projects and
// staff of projects new to it, then those projects, each database in one transaction.
double sqliteMergeMs(const QString& target, const QStringList& databases) {
    auto columns = [](const data::TableDef& table) {
        QStringList names;
        for (const data::Column& c : table.columns) {
            if (c.type != data::ColumnType::Counter) {
                names << QLatin1String(c.name);
            }
        }
        return names.join(',');
    };
    const QString absent = QStringLiteral(
        "not exists (select 1 from main.table1 m where m.projectname = t.projectname and "
        "m.projectman = t.projectman and m.takeunit1 = t.takeunit1)");
    QString script;
    for (const QString& db : databases) {
        script += QStringLiteral("attach '%1' as s;\nbegin;\n").arg(db);
        for (const data::TableDef* table : {&data::table2(), &data::table3()}) {
            const QString names = columns(*table);
            script += QStringLiteral(
                          "insert into %1(%2) select %2 from s.%1 t where projectname is not null and %3;\n")
                          .arg(QLatin1String(table->name), names, absent);
        }
        script +=
            QStringLiteral("insert into table1 select * from s.table1 t where %1;\ncommit;\ndetach s;\n")
                .arg(absent);
    }
    QTemporaryFile file;
    file.open();
    file.write(script.toUtf8());
    file.close();
    bench::settleDisk();
    return bench::timeMs([&] {
        QProcess tool;
        tool.setStandardInputFile(file.fileName());
        tool.start(QStringLiteral("sqlite3"), {target});
        tool.waitForFinished(-1);
        if (tool.exitCode() != 0) {
            std::printf("  sqlite3: %s\n", tool.readAllStandardError().constData());
        }
    });
}

}  // namespace

// 300 archives of 3 projects each (3 prior projects and 6 staff each) into an office database of
// 5,000 projects, against the sqlite3 tool merging the same 300 databases.
MERIDELL_BENCH(reports_batch_import) {
    constexpr int kArchives = 300;
    const QString office = bench::freshAppFolder();
    const QString spare = bench::freshAppFolder();
    for (const QString& folder : {office, spare}) {
        bench::fillProjects(data::mainDatabasePath(folder), 5000, 8 * 1024, 3, 6,
                            QStringLiteral("办公室项目"));
    }
    const QString work = bench::freshAppFolder() + QStringLiteral("/archives");
    QStringList archives;
    QStringList databases;
    for (int i = 0; i < kArchives; ++i) {
        const QString folder = work + QStringLiteral("/%1").arg(i);
        QDir().mkpath(folder);
        const QString database = folder + QStringLiteral("/project.mdb");
        data::createProjectDatabase(database);
        bench::fillProjects(database, 3, 8 * 1024, 3, 6, QStringLiteral("申报%1-").arg(i));
        archives << folder + QStringLiteral("/project.zip");
        exchange::ZipFileList(archives.back(), {database});
        databases << database;
    }
    const double mergeMs = sqliteMergeMs(data::mainDatabasePath(spare), databases);

    data::Databases module;
    module.mainConnection.setDatabaseFile(data::mainDatabasePath(office));
    module.mainConnection.open();
    module.bindQueries();
    exchange::BatchReport report;
    bench::settleDisk();
    const double importMs = bench::timeMs([&] {
        report = exchange::runBatchImport({AppPlaces::inPlace(office), {}}, module, archives,
                                          exchange::BatchHooks{});
    });
    std::printf("  %s\n", exchange::batchSummary(report).toUtf8().constData());
    bench::report("batch import of 300 archives into 5,000 projects", importMs, "ms", 6000, mergeMs,
                  "sqlite3 ATTACH + INSERT ... WHERE NOT EXISTS");
    bench::report("batch import / sqlite3 merge", importMs / mergeMs, "x", 2);
}

namespace {

// 300 submissions of 3 projects each in a tree of 30 unit folders with 10 folders each, every
// archive called project.zip as the units send them.
QStringList makeArchiveTree(const QString& work) {
    QStringList archives;
    for (int unit = 0; unit < 30; ++unit) {
        for (int entry = 0; entry < 10; ++entry) {
            const QString folder =
                work + QStringLiteral("/unit%1/entry%2").arg(unit, 2, 10, QChar('0')).arg(entry);
            QDir().mkpath(folder);
            const QString database = folder + QStringLiteral("/project.mdb");
            data::createProjectDatabase(database);
            bench::fillProjects(database, 3, 8 * 1024, 3, 6,
                                QStringLiteral("申报%1-%2-").arg(unit).arg(entry));
            archives << folder + QStringLiteral("/project.zip");
            exchange::ZipFileList(archives.back(), {database});
        }
    }
    return archives;
}

// The batch of `archives` into a fresh office database of 5,000 projects, in milliseconds.
double timedBatch(
    const std::function<exchange::BatchReport(const exchange::ImportPlaces&, data::Databases&)>& batch) {
    const QString office = bench::freshAppFolder();
    bench::fillProjects(data::mainDatabasePath(office), 5000, 8 * 1024, 3, 6, QStringLiteral("办公室项目"));
    data::Databases module;
    module.mainConnection.setDatabaseFile(data::mainDatabasePath(office));
    module.mainConnection.open();
    module.bindQueries();
    exchange::BatchReport report;
    bench::settleDisk();
    const double ms = bench::timeMs([&] { report = batch({AppPlaces::inPlace(office), {}}, module); });
    std::printf("  %s\n", exchange::batchSummary(report).toUtf8().constData());
    return ms;
}

}  // namespace

// The same 300 archives imported through the chosen folder (the walk of the tree included) and
// chosen as files, each into its own office database of 5,000 projects.
MERIDELL_BENCH(reports_batch_import_folder) {
    const QString work = bench::freshAppFolder() + QStringLiteral("/units");
    const QStringList archives = makeArchiveTree(work);
    const double filesMs = timedBatch([&](const exchange::ImportPlaces& places, data::Databases& module) {
        return exchange::runBatchImport(places, module, archives, exchange::BatchHooks{});
    });
    const double folderMs = timedBatch([&](const exchange::ImportPlaces& places, data::Databases& module) {
        return exchange::runBatchImport(places, module, exchange::archivesUnder(work),
                                        exchange::BatchHooks{});
    });
    bench::report("batch import of a folder tree of 300 archives", folderMs, "ms", 6000, filesMs,
                  "the same 300 archives chosen as files");
    bench::report("folder tree / chosen files", folderMs / filesMs, "x", 1.2);
}

namespace {

// One sheet's cells held in memory: per row, per column, a number, a date or UTF-8 text.
struct MemoryCell {
    enum Kind { Empty, Number, Date, Text } kind = Empty;
    double number = 0;
    QByteArray text;
};
using MemorySheet = std::vector<std::vector<MemoryCell>>;

MemorySheet readSheet(const QSqlDatabase& db, const data::TableDef& table) {
    MemorySheet rows;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.exec(QStringLiteral("select * from %1").arg(QLatin1String(table.name)));
    while (q.next()) {
        std::vector<MemoryCell> row;
        for (int c = 0; c < table.columnCount(); ++c) {
            const data::ColumnType type = table.columns[c].type;
            if (type == data::ColumnType::Counter) {
                continue;
            }
            MemoryCell cell;
            const QVariant v = q.value(c);
            if (v.isNull()) {
            } else if (type == data::ColumnType::Number) {
                cell = {MemoryCell::Number, v.toDouble(), {}};
            } else if (type == data::ColumnType::Date) {
                cell = {MemoryCell::Date, 0, {}};
            } else {
                cell = {MemoryCell::Text, 0, v.toString().toUtf8()};
            }
            row.push_back(std::move(cell));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

// libxlsxwriter alone, in constant-memory mode, writing the cells held in memory.
void writeFromMemory(const QString& path, const std::vector<MemorySheet>& sheets) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.use_zip64 = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "yyyy-mm-dd");
    lxw_datetime when{2026, 12, 8, 0, 0, 0};
    int n = 0;
    for (const MemorySheet& cells : sheets) {
        lxw_worksheet* sheet = workbook_add_worksheet(book, QByteArray::number(++n).constData());
        for (std::size_t r = 0; r < cells.size(); ++r) {
            for (std::size_t c = 0; c < cells[r].size(); ++c) {
                const MemoryCell& cell = cells[r][c];
                if (cell.kind == MemoryCell::Number) {
                    worksheet_write_number(sheet, lxw_row_t(r + 1), lxw_col_t(c), cell.number, nullptr);
                } else if (cell.kind == MemoryCell::Date) {
                    worksheet_write_datetime(sheet, lxw_row_t(r + 1), lxw_col_t(c), &when, date);
                } else if (cell.kind == MemoryCell::Text && !cell.text.isEmpty()) {
                    worksheet_write_string(sheet, lxw_row_t(r + 1), lxw_col_t(c), cell.text.constData(),
                                           nullptr);
                }
            }
        }
    }
    workbook_close(book);
}

}  // namespace

// The spreadsheet of 20,000 projects with memos of about 8 KB (3 prior projects and 6 staff each),
// against libxlsxwriter alone writing the same cells from memory.
MERIDELL_BENCH(reports_project_workbook) {
    const QString folder = bench::freshAppFolder();
    const QString database = data::mainDatabasePath(folder);
    bench::fillProjects(database, 20000, 8 * 1024, 3, 6);
    const double before = bench::peakMemoryMb();
    const QString name = QUuid::createUuid().toString();
    {
        data::Connection db(name);
        db.setDatabaseFile(database);
        db.open();
        lists::WorkbookCounts counts;
        const double ms = bench::timeMs([&] {
            counts = lists::writeProjectWorkbook(db, data::ProjectQuery::allProjects(),
                                                 folder + QStringLiteral("/项目.xlsx"));
        });
        const double peak = bench::peakMemoryMb();
        std::printf("  %d projects, %d prior projects, %d staff; %.1f MB file; peak before %.0f MB\n",
                    counts.projects, counts.priorProjects, counts.staff,
                    QFileInfo(folder + QStringLiteral("/项目.xlsx")).size() / 1e6, before);
        std::vector<MemorySheet> sheets;
        for (const data::TableDef* table : data::allTables()) {
            sheets.push_back(readSheet(db.database(), *table));
        }
        const double aloneMs =
            bench::timeMs([&] { writeFromMemory(folder + QStringLiteral("/alone.xlsx"), sheets); });
        bench::report("spreadsheet of 20,000 projects", ms, "ms", 2000, aloneMs, "libxlsxwriter alone");
        bench::report("spreadsheet / libxlsxwriter alone", ms / aloneMs, "x", 1.5);
        bench::report("spreadsheet peak memory", peak, "MB", 150);
        db.close();
    }
}
