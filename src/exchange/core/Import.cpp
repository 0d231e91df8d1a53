#include "exchange/core/Import.h"

#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/DataModuleUnit.h"
#include "data/Dataset.h"
#include "data/Schema.h"
#include "data/Statements.h"
#include "exchange/core/SubmittedDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace meridell::exchange {

namespace {

const QString kNoFolder = QStringLiteral("目录丢失，无法导入项目申报数据！");
const QString kCopyFailed = QStringLiteral("文件拷贝失败，无法导入项目申报数据！");
const QString kWrongFile = QStringLiteral("项目数据导入失败,您选择了错误的数据文件!");
const QString kFailed = QStringLiteral("项目数据导入失败,您可能选择了错误的数据文件!");

// Moves the bar from `from` towards `to` while `count` rows are handled, telling only whole steps.
class Stepper {
public:
    Stepper(const Progress& progress, int from, int to, int count)
        : progress_(progress), from_(from), to_(to), count_(std::max(count, 1)) {}

    void advance() {
        ++done_;
        int value = from_ + int(qint64(to_ - from_) * done_ / count_);
        if (value != last_ && progress_) {
            last_ = value;
            progress_(value);
        }
    }

private:
    const Progress& progress_;
    int from_;
    int to_;
    int count_;
    int done_ = 0;
    int last_ = -1;
};

// Raises the page cache of a connection (in KiB) for one scope and puts it back after.
class CacheSize {
public:
    CacheSize(data::Connection& connection, int kib) : connection_(connection) {
        connection_.exec(QStringLiteral("PRAGMA cache_size=-%1").arg(kib));
    }
    ~CacheSize() {
        try {
            connection_.exec(QStringLiteral("PRAGMA cache_size=-16384"));
        } catch (...) {
            // The connection is gone; there is no cache left to shrink.
        }
    }
    CacheSize(const CacheSize&) = delete;
    CacheSize& operator=(const CacheSize&) = delete;

private:
    data::Connection& connection_;
};

// Steps of the copy, over the data module's queries.
class SubmissionCopy {
public:
    SubmissionCopy(data::TDataModuleForm& module, const Progress& progress)
        : module_(module), progress_(progress) {}

    ImportCounts run() {
        // While the archive is copied its new pages stay in memory until the commit writes them
        // in one pass, instead of being spilled to the file (and the journal synced) over and over.
        CacheSize bigCache(module_.ADOConnection1, 256 * 1024);
        data::Transaction transaction(module_.ADOConnection1);
        // The key lookups go through this index; a database without it gets it.
        module_.ADOConnection1.exec(data::createKeyIndexSql(data::table1()));
        step(20);
        copyChildren(data::table2(), module_.ADOQueryCopy2, 25, 40);
        step(40);
        copyChildren(data::table3(), module_.ADOQueryCopy3, 50, 65);
        step(65);
        ImportCounts counts = copyProjects();
        transaction.commit();
        return counts;
    }

private:
    // Source rows are read in pages of this many, in the order of the table.
    static constexpr int kPage = 1000;

    void step(int value) {
        if (progress_) {
            progress_(value);
        }
    }

    int countSource(const QString& table, const QString& condition) {
        data::Dataset& media = module_.ADOQueryMedia;
        media.close();
        media.setSql(QStringLiteral("select count(*) from %1 where %2").arg(table, condition));
        media.open();
        int count = media.field(1).toInt();
        media.close();
        return count;
    }

    // Runs `handle` on each source row of `table` meeting `condition`, with ADOQueryMedia on it.
    // A page holds the table's columns in their order, then the row id it continues from.
    template <typename Handle>
    void forEachSource(const QString& table, const QString& condition, Handle handle) {
        data::Dataset& media = module_.ADOQueryMedia;
        QVariant after = std::numeric_limits<qint64>::min();
        module_.ADOQuerySelect.setSql(data::sql::kProjectOfKey);
        for (;;) {
            media.close();
            media.setSql(QStringLiteral("select %1.*, %1.rowid from %1 where (%2) and %1.rowid > :text1 "
                                        "order by %1.rowid limit %3")
                             .arg(table, condition)
                             .arg(kPage));
            media.setParameters({after});
            media.open();
            for (media.first(); !media.eof(); media.next()) {
                handle(media.fieldCount() - 1);
            }
            if (media.recordCount() < kPage) {
                break;
            }
            media.last();
            after = media.field(media.fieldCount());
        }
        media.close();
    }

    // Whether the main table1 lacks the project of the current source row.
    bool isNew() {
        data::Dataset& media = module_.ADOQueryMedia;
        data::Dataset& select = module_.ADOQuerySelect;
        select.close();
        select.setParameters({media.value(QStringLiteral("projectname")),
                              media.value(QStringLiteral("projectman")),
                              media.value(QStringLiteral("takeunit1"))});
        select.open();
        return select.isEmpty();
    }

    // The same, remembered per key while table1 stays as it was (the steps of the child rows).
    bool isNewRemembered() {
        data::Dataset& media = module_.ADOQueryMedia;
        QString key;
        for (const char* column : data::kKeyColumns) {
            QVariant v = media.value(QLatin1String(column));
            key += v.isValid() ? QChar(u'+') + v.toString() : QStringLiteral("-");
            key += QChar(u'\0');
        }
        auto known = known_.constFind(key);
        if (known != known_.constEnd()) {
            return known.value();
        }
        bool fresh = isNew();
        known_.insert(key, fresh);
        return fresh;
    }

    RefusedProject refusedProject() const {
        const data::Dataset& media = module_.ADOQueryMedia;
        return {media.value(QStringLiteral("projectname")).toString(),
                media.value(QStringLiteral("projectman")).toString(),
                media.value(QStringLiteral("takeunit1")).toString()};
    }

    void copyRow(data::Dataset& destination, const data::TableDef& def, int first, int last) {
        data::Dataset& media = module_.ADOQueryMedia;
        destination.append();
        for (int c = first; c <= last; ++c) {
            const bool number = def.columns[c - 1].type == data::ColumnType::Number;
            destination.setField(c, number ? submittedNumber(media.field(c)) : media.field(c));
        }
        destination.post();
    }

    // Child rows come along exactly when their project is new; column 1, the counter, is the
    // main database's own. A staff table of 10 columns leaves birthday empty.
    void copyChildren(const data::TableDef& def, data::Dataset& destination, int from, int to) {
        const QString table = QLatin1String(def.name);
        const QString condition = QStringLiteral("projectname is not null");
        Stepper stepper(progress_, from, to, countSource(table, condition));
        step(from);
        forEachSource(table, condition, [&](int columns) {
            if (isNewRemembered()) {
                copyRow(destination, def, 2, columns == 11 ? 11 : 10);
            }
            stepper.advance();
        });
    }

    ImportCounts copyProjects() {
        ImportCounts counts;
        counts.total = countSource(QStringLiteral("table1"), QStringLiteral("1"));
        step(75);
        Stepper stepper(progress_, 75, 100, counts.total);
        forEachSource(QStringLiteral("table1"), QStringLiteral("1"), [&](int) {
            if (isNew()) {
                copyRow(module_.ADOQueryCopy1, data::table1(), 1, data::table1().columnCount());
            } else {
                ++counts.refused;
                counts.refusedProjects.append(refusedProject());
            }
            stepper.advance();
        });
        return counts;
    }

    data::TDataModuleForm& module_;
    const Progress& progress_;
    QHash<QString, bool> known_;
};

// Whether the module's queries are on their connections already, as after an earlier import:
// binding them again would throw away their prepared statements, which a batch would then prepare
// anew for every archive. A reopened connection or a changed table renews them all the same.
bool isBound(const data::TDataModuleForm& module) {
    for (const data::Dataset* d : {&module.ADOQueryCopy1, &module.ADOQueryCopy2, &module.ADOQueryCopy3,
                                   &module.ADOQueryTemp, &module.ADOQuerySelect}) {
        if (d->connection() != &module.ADOConnection1) {
            return false;
        }
    }
    return module.ADOQueryMedia.connection() == &module.ADOConnection2;
}

// Opens the exchange connection afresh and the three destinations at their last rows. The main
// connection is opened only when it is closed: closing it would close the record form's queries
// and drop whatever the user has typed there and not yet saved.
void connect(const ImportPlaces& places, data::TDataModuleForm& module) {
    data::Connection& main = module.ADOConnection1;
    if (!main.isOpen()) {
        main.setDatabaseFile(data::mainDatabasePath(places.appDir));
        main.open();
    }
    if (!isBound(module)) {
        module.bindQueries();
    }

    data::Connection& exchange = module.ADOConnection2;
    exchange.close();
    exchange.setDatabaseFile(places.submittedDatabase());
    exchange.setReadOnly(true);  // a submission is only ever read
    exchange.open();
    checkSubmittedDatabase(exchange);

    // The destinations only receive appended rows, so they list none of the rows already there:
    // opening them costs the same however large the office database has grown, which counts when
    // a batch opens them once per archive.
    const std::pair<data::Dataset*, QString> destinations[] = {
        {&module.ADOQueryCopy1, data::sql::kAllProjects},
        {&module.ADOQueryCopy2, data::sql::kAllPriorProjects},
        {&module.ADOQueryCopy3, data::sql::kAllStaff},
    };
    for (const auto& [dataset, sql] : destinations) {
        dataset->setSql(sql + QStringLiteral(" where 0"));
        dataset->open();
        dataset->last();
    }
    module.ADOQuerySelect.close();
}

void cleanUp(const ImportPlaces& places, data::TDataModuleForm& module, const ImportHooks& hooks) {
    if (hooks.closeProgress) {
        hooks.closeProgress();
    }
    for (data::Dataset* d : {&module.ADOQueryCopy1, &module.ADOQueryCopy2, &module.ADOQueryCopy3,
                             &module.ADOQueryMedia, &module.ADOQuerySelect}) {
        d->close();
    }
    module.ADOConnection2.close();
    DeleteAllFiles(places.stagingDir());
}

// The closing message of a failed import. A wrong file is the likely cause of most failures, but
// not of a database that another program holds, of a full disk or of a read-only file: those are
// named, so that the user sees the same archive will do once the cause is gone.
QString failureText(const std::exception& e) {
    const auto* engine = dynamic_cast<const data::DatabaseError*>(&e);
    if (!engine) {
        return kFailed;
    }
    using Cause = data::DatabaseError::Cause;
    switch (engine->cause()) {
        case Cause::Busy:
        case Cause::DiskFull:
        case Cause::ReadOnly:
            return QStringLiteral("项目数据导入失败，") + data::DatabaseError::sentence(engine->cause()) +
                   QChar(u'\n') + engine->engineText();
        default:
            return kFailed;
    }
}

// The reason of a failed import as the batch report names it: the import's own message, or the
// Chinese sentence of the check that refused the submission.
QString failureReason(const std::exception& e) {
    const QString text = failureText(e);
    const auto* own = dynamic_cast<const Error*>(&e);
    if (text != kFailed || !own || dynamic_cast<const data::DatabaseError*>(&e)) {
        return text;
    }
    const QString reason = own->text();
    if (reason.isEmpty() || reason.front().unicode() < 0x2e80) {
        return text;
    }
    return kFailed + QChar(u'\n') + reason;
}

}  // namespace

QString ImportPlaces::stagingDir() const {
    return data::stagingDir(appDir);
}

QString ImportPlaces::stagingArchive() const {
    return stagingDir() + QStringLiteral("/project.zip");
}

QString ImportPlaces::submittedDatabase() const {
    return data::exchangeDatabasePath(appDir);
}

QString importFinishedText(const ImportCounts& counts) {
    if (counts.refused == 0) {
        return QStringLiteral("执行完毕,您所选的文件中共有%1个项目,已经全部导入！").arg(counts.total);
    }
    return QStringLiteral("执行完毕,有%1个项目已经存在,由于重复而不允许导入,实际导入%2个项目！")
        .arg(counts.refused)
        .arg(counts.total - counts.refused);
}

bool CheckDataDir(const ImportPlaces& places, const QString& chosen,
                  const std::function<void(const QString&)>& inform) {
    QDir().mkpath(places.stagingDir());
    if (!QFileInfo(places.stagingDir()).isDir()) {
        inform(kNoFolder);
        return false;
    }
    // The staging copy lives only for this import: it is checked but not forced to the disk.
    if (!copyReplacing(chosen, places.stagingArchive(), places.copyTarget, Durability::Scratch)) {
        inform(kCopyFailed);
        return false;
    }
    return true;
}

void checkSubmittedDatabase(data::Connection& submitted) {
    const QSqlDatabase db = submitted.database();
    // Nothing the file holds is evaluated before its catalogue has passed.
    hardenSubmittedConnection(db);
    const SubmittedColumns columns = checkSubmittedCatalogue(db);
    checkSubmittedIntact(db);
    checkSubmittedColumns(columns);
    checkSubmittedNumbers(db);
}

ImportCounts copySubmission(data::TDataModuleForm& module, const Progress& progress) {
    return SubmissionCopy(module, progress).run();
}

ArchiveOutcome runImport(const ImportPlaces& places, data::TDataModuleForm& module, const QString& chosen,
                         const ImportHooks& hooks) {
    ArchiveOutcome outcome;
    // The first message of a failing step is the reason the outcome gives.
    auto informFailure = [&](const QString& text) {
        if (outcome.failure.isEmpty()) {
            outcome.failure = text;
        }
        hooks.inform(text);
    };
    // Only a database unpacked from the chosen archive is ever imported.
    QFile::remove(places.submittedDatabase());
    try {
        hooks.repaint();
        hooks.showProgress();
        hooks.progress(5);
        if (CheckDataDir(places, chosen, informFailure)) {
            hooks.repaint();
            UnZipProject(places.stagingArchive(), places.stagingDir(), places.limits);
        }
        hooks.progress(10);
        if (!QFileInfo(places.submittedDatabase()).isFile()) {
            informFailure(kWrongFile);
        } else {
            hooks.progress(15);
            connect(places, module);
            outcome.counts = copySubmission(module, hooks.progress);
            outcome.finished = true;
            hooks.progress(100);
            hooks.hideProgress();
            hooks.repaint();
            hooks.inform(importFinishedText(outcome.counts));
        }
    } catch (const std::exception& e) {
        outcome.finished = false;
        outcome.failure = failureReason(e);
        hooks.hideProgress();
        hooks.beep();
        hooks.repaint();
        hooks.inform(failureText(e));
    }
    cleanUp(places, module, hooks);
    return outcome;
}

}  // namespace meridell::exchange
