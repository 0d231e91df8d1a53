#pragma once

#include "data/RowCache.h"
#include "data/RowSource.h"

#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

namespace meridell::data {

class Connection;
struct ProjectQuery;
struct SqlStatement;

// The rows of one table that a ProjectQuery selects. Opening reads only their row ids;
// values are read when they are asked for, in blocks of rows per short column and row by row for
// memo columns, and kept in a RowCache.
//
// The table's columns and the prepared statements survive close() and serve the next opening
// while the connection stays open and the table's schema is unchanged, so that reopening with new
// parameters (a key lookup per row) costs only the lookup itself.
class TableRows : public RowSource {
public:
    TableRows() = default;
    explicit TableRows(RowCache::Limits limits) : cache_(limits) {}
    TableRows(const TableRows&) = delete;
    TableRows& operator=(const TableRows&) = delete;

    // Lists the rows of `query`. Returns true when the table's columns were read anew, so that
    // statements prepared for the former ones must go. Throws meridell::Error.
    bool open(Connection& connection, const ProjectQuery& query);
    void close() override;
    // Drops every prepared statement and forgets the schema (before the connection goes).
    void drop();
    // Drops the prepared statements only, keeping the rows and the schema (before a server
    // connection that was cut is made again: freed later, they would be freed on the new one).
    void releaseStatements();

    const QString& table() const { return schemaTable_; }
    // Index of the column the database numbers itself, -1 when there is none.
    int counterColumn() const { return counterColumn_; }

    int rowCount() const override { return int(ids_.size()); }
    QVariant valueAt(int row, int column) const override;
    // Every column of `row`.
    const QVariantList& row(int row) const;
    std::vector<QVariant> valuesOfAllRows(const std::vector<int>& columns) const override;

    // The rows by their rowids, in order. A change of the list clears the cache.
    const std::vector<qint64>& ids() const { return ids_; }
    void setIds(std::vector<qint64> ids);
    void appendId(qint64 id);
    void removeAt(int row);
    // Forgets the cached values (after a write).
    void invalidate() const {
        cache_.clear();
        versions_.clear();
    }

    // On a server: the version of `row` read with its values (by row(), which reads it when it is
    // not kept), 0 when none was read; on a database file always 0.
    int version(int row) const;
    void setVersion(qint64 rowId, int version) const { versions_[rowId] = version; }

private:
    int schemaVersion();
    void loadSchema(const QString& table);
    void loadServerSchema(const QString& table);
    QString rowSql() const;
    void readIds(const ProjectQuery& query);
    void readFileIds(const SqlStatement& statement);
    QVariantList fetchRow(qint64 rowId) const;
    std::vector<QVariant> fetchBlock(int start, int column) const;
    // On a server: the prepared statement of a column's blocks, run for the block's `ids`.
    QSqlQuery& serverBlockQuery(int column, const QString& ids) const;

    Connection* connection_ = nullptr;
    quint64 generation_ = 0;
    std::vector<bool> heavy_;  // memo columns, read row by row
    int counterColumn_ = -1;
    std::vector<qint64> ids_;
    mutable RowCache cache_;
    bool server_ = false;
    mutable std::unordered_map<qint64, int> versions_;  // of the rows read, on a server
    mutable quint64 rowQueryGeneration_ = 0;

    mutable std::unique_ptr<QSqlQuery> rowQuery_;
    mutable std::map<int, std::unique_ptr<QSqlQuery>> blockQueries_;  // by column, on a server
    std::unique_ptr<QSqlQuery> idQuery_;
    QString idQuerySql_;
    std::unique_ptr<QSqlQuery> versionQuery_;
    QString schemaTable_;
    int schemaVersion_ = -1;
};

}  // namespace meridell::data
