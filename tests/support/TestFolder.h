#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <QVariantMap>

namespace meridell::test {

// A fresh application folder in a temporary directory, laid out like the built one: the empty
// project database, the background picture, the help page and the document templates.
class AppFolder {
public:
    AppFolder();
    const QString& path() const { return path_; }
    QString file(const QString& relative) const { return path_ + "/" + relative; }
    QString databasePath() const { return file("source/project.mdb"); }

private:
    QTemporaryDir dir_;
    QString path_;
};

// Plain SQL on a project database, for arranging and checking rows without the program.
class SqlFile {
public:
    explicit SqlFile(const QString& path);
    ~SqlFile();
    void exec(const QString& sql, const QVariantList& values = {});
    // The first column of the first row of a query (an invalid QVariant when there is no row).
    QVariant scalar(const QString& sql, const QVariantList& values = {});
    // Inserts a row; columns not given stay null. Returns the rowid.
    qint64 insert(const QString& table, const QVariantMap& values);
    int count(const QString& table);

private:
    QString name_;
};

}  // namespace meridell::test
