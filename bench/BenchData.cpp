#include "BenchData.h"

#include "data/Schema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <cstdio>

namespace meridell::bench {

namespace {

QSqlQuery prepareInsert(QSqlDatabase& db, const data::TableDef& t, bool skipCounter) {
    QStringList names;
    QStringList marks;
    for (const data::Column& c : t.columns) {
        if (skipCounter && c.type == data::ColumnType::Counter) {
            continue;
        }
        names << QStringLiteral("\"%1\"").arg(QLatin1String(c.name));
        marks << "?";
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("insert into %1 (%2) values (%3)")
                  .arg(QLatin1String(t.name), names.join(','), marks.join(',')));
    return q;
}

}  // namespace

void fillProjects(const QString& databasePath, int projects, int memoBytes, int priorPerProject,
                  int staffPerProject, const QString& namePrefix) {
    const QString name = "fill-" + QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(databasePath);
        db.open();
        db.transaction();
        QSqlQuery p = prepareInsert(db, data::table1(), false);
        QSqlQuery c2 = prepareInsert(db, data::table2(), true);
        QSqlQuery c3 = prepareInsert(db, data::table3(), true);
        int memoColumns = 0;
        for (const data::Column& c : data::table1().columns) {
            memoColumns += c.type == data::ColumnType::Memo ? 1 : 0;
        }
        const QString memo = QString(memoBytes / memoColumns / 3, QChar(0x6587));  // 3 UTF-8 bytes each
        for (int i = 0; i < projects; ++i) {
            const QString pname = QStringLiteral("%1%2").arg(namePrefix).arg(i);
            const QString man = QStringLiteral("负责人%1").arg(i % 97);
            const QString unit = QStringLiteral("承担单位%1").arg(i % 13);
            int col = 0;
            for (const data::Column& c : data::table1().columns) {
                QVariant v;
                QString n = QString::fromLatin1(c.name);
                if (n == "projectname") {
                    v = pname;
                } else if (n == "projectman") {
                    v = man;
                } else if (n == "takeunit1") {
                    v = unit;
                } else if (c.type == data::ColumnType::Memo) {
                    v = memo;
                } else if (c.type == data::ColumnType::Number) {
                    v = double(i % 100) / 4;
                } else if (c.type == data::ColumnType::Date) {
                    v = "2026-12-08";
                } else {
                    v = QString::number(i).left(c.size);
                }
                p.bindValue(col++, v);
            }
            if (!p.exec()) {
                std::fprintf(stderr, "%s\n", p.lastError().text().toUtf8().constData());
                return;
            }
            for (int k = 0; k < priorPerProject; ++k) {
                QVariantList values{pname,
                                    unit,
                                    man,
                                    QString::number(k),
                                    QStringLiteral("以往项目%1").arg(k),
                                    "2001年01月",
                                    "2002年12月",
                                    QStringLiteral("负责"),
                                    QStringLiteral("已验收")};
                for (int j = 0; j < values.size(); ++j) {
                    c2.bindValue(j, values[j]);
                }
                c2.exec();
            }
            for (int k = 0; k < staffPerProject; ++k) {
                QVariantList values{pname,
                                    man,
                                    unit,
                                    QStringLiteral("研究人员%1").arg(k),
                                    unit,
                                    "110101197001011234",
                                    QStringLiteral("管理科学"),
                                    QStringLiteral("研究员"),
                                    QStringLiteral("调研"),
                                    QStringLiteral("1970年01月")};
                for (int j = 0; j < values.size(); ++j) {
                    c3.bindValue(j, values[j]);
                }
                c3.exec();
            }
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

}  // namespace meridell::bench
