#include "support/TestFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <gtest/gtest.h>

namespace meridell::test {

namespace {

void copyTree(const QString& from, const QString& to) {
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QString source = it.next();
        QString target = to + "/" + QDir(from).relativeFilePath(source);
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::copy(source, target);
        QFile::setPermissions(target,
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    }
}

}  // namespace

AppFolder::AppFolder() : path_(dir_.path()) {
    const QString built = QStringLiteral(MERIDELL_BUILD_APP_DIR);
    copyTree(built + "/source", path_ + "/source");
    copyTree(built + "/help", path_ + "/help");
}

SqlFile::SqlFile(const QString& path) : name_("sqlfile-" + QUuid::createUuid().toString()) {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name_);
    db.setDatabaseName(path);
    if (!db.open()) {
        ADD_FAILURE() << db.lastError().text().toStdString();
    }
}

SqlFile::~SqlFile() {
    QSqlDatabase::database(name_, false).close();
    QSqlDatabase::removeDatabase(name_);
}

void SqlFile::exec(const QString& sql, const QVariantList& values) {
    QSqlQuery q(QSqlDatabase::database(name_, false));
    if (!q.prepare(sql)) {
        ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
        return;
    }
    for (int i = 0; i < values.size(); ++i) {
        q.bindValue(i, values[i]);
    }
    if (!q.exec()) {
        ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
    }
}

QVariant SqlFile::scalar(const QString& sql, const QVariantList& values) {
    QSqlQuery q(QSqlDatabase::database(name_, false));
    q.prepare(sql);
    for (int i = 0; i < values.size(); ++i) {
        q.bindValue(i, values[i]);
    }
    if (!q.exec()) {
        ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
        return {};
    }
    if (!q.next() || q.isNull(0)) {
        return {};
    }
    return q.value(0);
}

qint64 SqlFile::insert(const QString& table, const QVariantMap& values) {
    QStringList names;
    QStringList marks;
    QVariantList bound;
    for (auto it = values.begin(); it != values.end(); ++it) {
        names << '"' + it.key() + '"';
        marks << "?";
        bound << it.value();
    }
    QString sql =
        names.isEmpty()
            ? QStringLiteral("insert into %1 default values").arg(table)
            : QStringLiteral("insert into %1 (%2) values (%3)").arg(table, names.join(','), marks.join(','));
    QSqlQuery q(QSqlDatabase::database(name_, false));
    q.prepare(sql);
    for (int i = 0; i < bound.size(); ++i) {
        q.bindValue(i, bound[i]);
    }
    if (!q.exec()) {
        ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
        return 0;
    }
    return q.lastInsertId().toLongLong();
}

int SqlFile::count(const QString& table) {
    return scalar("select count(*) from " + table).toInt();
}

}  // namespace meridell::test
