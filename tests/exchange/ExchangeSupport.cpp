#include "exchange/ExchangeSupport.h"

#include "data/DatabaseFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

#include <gtest/gtest.h>
#include <zip.h>

#include <vector>

namespace meridell::test {

void makeProjectDatabase(const QString& path, const std::function<void(SqlFile&)>& fill) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    data::createProjectDatabase(path);
    if (fill) {
        SqlFile db(path);
        fill(db);
    }
}

void addProject(SqlFile& db, const QVariant& name, const QVariant& man, const QVariant& unit,
                const QVariantMap& more) {
    QVariantMap row = more;
    row.insert("projectname", name);
    row.insert("projectman", man);
    row.insert("takeunit1", unit);
    db.insert("table1", row);
}

void addPrior(SqlFile& db, const QVariant& name, const QVariant& man, const QVariant& unit,
              const QString& what) {
    db.insert("table2", {{"projectname", name}, {"projectman", man}, {"takeunit1", unit}, {"name", what}});
}

void addStaff(SqlFile& db, const QVariant& name, const QVariant& man, const QVariant& unit,
              const QString& who) {
    db.insert("table3", {{"projectname", name},
                         {"projectman", man},
                         {"takeunit1", unit},
                         {"name", who},
                         {"birthday", QStringLiteral("1970年01月")}});
}

QStringList dumpRows(const QString& path) {
    const QString name = "dump-" + QUuid::createUuid().toString();
    QStringList out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(path);
        db.open();
        for (const char* table : {"table1", "table2", "table3"}) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("select * from %1 order by rowid").arg(QLatin1String(table)));
            while (q.next()) {
                QStringList values{QLatin1String(table)};
                for (int i = 0; i < q.record().count(); ++i) {
                    values << (q.isNull(i) ? QStringLiteral("<null>") : q.value(i).toString());
                }
                out << values.join('|');
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return out;
}

int runTool(const QString& tool, const QStringList& arguments, const QString& workingDir) {
    QProcess process;
    process.setWorkingDirectory(workingDir);
    process.start(tool, arguments);
    if (!process.waitForFinished(60000)) {
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void writeArchive(const QString& path, const QList<QPair<QString, QByteArray>>& entries) {
    int code = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(archive, nullptr);
    std::vector<QByteArray> keep;
    for (const auto& [name, bytes] : entries) {
        keep.push_back(bytes);
        zip_source_t* source = zip_source_buffer(archive, keep.back().constData(), keep.back().size(), 0);
        zip_int64_t index = zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
        ASSERT_GE(index, 0) << zip_strerror(archive);
        zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

void patchStatedSize(const QString& path, quint32 size) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray bytes = f.readAll();
    const char le[4] = {char(size), char(size >> 8), char(size >> 16), char(size >> 24)};
    // Local headers carry the unpacked size at offset 22, central ones at offset 24.
    for (auto [signature, offset] : {std::pair{"PK\x03\x04", 22}, std::pair{"PK\x01\x02", 24}}) {
        for (qsizetype at = bytes.indexOf(signature); at >= 0; at = bytes.indexOf(signature, at + 4)) {
            bytes.replace(at + offset, 4, le, 4);
        }
    }
    f.seek(0);
    f.write(bytes);
}

QStringList filesIn(const QString& folder) {
    QStringList out;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        out << QDir(folder).relativeFilePath(it.next());
    }
    out.sort();
    return out;
}

}  // namespace meridell::test
