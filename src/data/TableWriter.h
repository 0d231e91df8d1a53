#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <memory>

namespace meridell::data {

class Connection;

// Writes rows of one table back by their row id: a new row is inserted, a changed row is updated
// in every column, a deleted row goes. A row is a value for each of the table's columns in their
// order; the counter column (if any) is left to the database and never written.
//
// On a server, an update names the version the row had when it was read and counts it up: when
// another seat changed or deleted the row since, nothing is written and DatabaseError with
// Cause::Changed is thrown. A row another seat deleted already is simply gone for the deleter.
//
// Values are stored through toDb: an invalid or null QVariant as NULL, a text (even a null QString)
// as a text. The statements are prepared on first use and kept until reset().
class TableWriter {
public:
    TableWriter() = default;
    TableWriter(const TableWriter&) = delete;
    TableWriter& operator=(const TableWriter&) = delete;

    // The table to write and its columns; drops the statements prepared for the previous one.
    // `counterColumn`: index of the column the database numbers itself, -1 when there is none.
    void reset(Connection* connection, const QString& table, const QStringList& columns, int counterColumn);
    // Drops the prepared statements (before the connection goes).
    void drop();

    // Stores a new row and returns its rowid.
    qint64 insert(const QVariantList& row);
    // Returns the row's new version on a server (`version` is the one read with the row), 0 on a
    // database file.
    int update(qint64 rowId, const QVariantList& row, int version = 0);
    void remove(qint64 rowId);

private:
    QSqlDatabase database();
    QVariantList written(const QVariantList& row) const;
    QStringList writtenNames() const;

    Connection* connection_ = nullptr;
    QString table_;
    QStringList columns_;
    int counterColumn_ = -1;
    bool server_ = false;
    quint64 generation_ = 0;
    std::unique_ptr<QSqlQuery> insertQuery_;
    std::unique_ptr<QSqlQuery> updateQuery_;
    std::unique_ptr<QSqlQuery> deleteQuery_;
};

}  // namespace meridell::data
