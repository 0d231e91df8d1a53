#include "data/TableRows.h"

#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/ProjectQuery.h"
#include "data/SelectStatement.h"
#include "data/ServerLink.h"
#include "data/SqlDialect.h"
#include "data/SqlValues.h"

#include <algorithm>
#include <unordered_map>

namespace meridell::data {

namespace {

// Above this many rows the values of all rows are read from the whole table rather than by a list
// of row ids.
constexpr size_t kLongestIdList = 2000;

}  // namespace

void TableRows::drop() {
    connection_ = nullptr;
    rowQuery_.reset();
    blockQueries_.clear();
    idQuery_.reset();
    versionQuery_.reset();
    idQuerySql_.clear();
    schemaTable_.clear();
    schemaVersion_ = -1;
}

void TableRows::releaseStatements() {
    rowQuery_.reset();
    blockQueries_.clear();
    idQuery_.reset();
    versionQuery_.reset();
    idQuerySql_.clear();
}

// The database's schema counter: it changes with every change of any table. A server's tables
// change only with the program's layout, which a connection checks once.
int TableRows::schemaVersion() {
    if (server_) {
        return 0;
    }
    QSqlQuery& q = prepared(versionQuery_, connection_->database(), QStringLiteral("PRAGMA schema_version"));
    if (!q.exec() || !q.next()) {
        throwQueryError(q);
    }
    int version = q.value(0).toInt();
    q.finish();
    return version;
}

void TableRows::loadSchema(const QString& table) {
    QStringList names;
    heavy_.clear();
    counterColumn_ = -1;
    QSqlQuery info(connection_->database());
    if (!info.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quotedName(table)))) {
        throwQueryError(info);
    }
    while (info.next()) {
        QString type = info.value(2).toString().trimmed().toUpper();
        // Memo columns, and the columns stored after the first of them, are read row by row: a
        // short column behind a long text costs as much to read as the text itself.
        bool heavy = type == u"TEXT" || type == u"MEMO" || type == u"BLOB" || type.isEmpty() ||
                     (!heavy_.empty() && heavy_.back());
        if (type.startsWith(u"INTEGER") && info.value(5).toInt() == 1) {
            counterColumn_ = int(names.size());
        }
        heavy_.push_back(heavy);
        names << info.value(1).toString();
    }
    columns_.assign(names);
    if (names.isEmpty()) {
        throw Error(QStringLiteral("no such table: %1").arg(table));
    }
}

bool TableRows::open(Connection& connection, const ProjectQuery& query) {
    close();
    if (connection.isServer()) {
        connection.database();  // a connection the server cut is made again: a new generation
    }
    if (connection_ != &connection || generation_ != connection.generation()) {
        drop();
        connection_ = &connection;
        generation_ = connection.generation();
        server_ = connection.isServer();
    }
    bool reloaded = false;
    int version = schemaVersion();
    if (query.table != schemaTable_ || version != schemaVersion_) {
        rowQuery_.reset();
        blockQueries_.clear();
        schemaTable_.clear();
        if (server_) {
            loadServerSchema(query.table);
        } else {
            loadSchema(query.table);
        }
        schemaTable_ = query.table;
        schemaVersion_ = version;
        reloaded = true;
    }
    readIds(query);
    return reloaded;
}

void TableRows::readIds(const ProjectQuery& query) {
    const SqlStatement statement = dialectOf(connection_->database()).selectRowIds(query);
    if (server_) {
        ids_ = serverRowIds(connection_->database(), statement.sql, statement.values);
    } else {
        readFileIds(statement);
    }
    // The engine may list the ids through an index; without an order of its own the query shows
    // the rows in the order they were stored, as a plain scan of the table would.
    if (!query.isOrdered()) {
        std::sort(ids_.begin(), ids_.end());
    }
}

void TableRows::readFileIds(const SqlStatement& statement) {
    if (!idQuery_ || idQuerySql_ != statement.sql) {
        idQuery_.reset();
        prepared(idQuery_, connection_->database(), statement.sql);
        idQuerySql_ = statement.sql;
    }
    QSqlQuery& q = *idQuery_;
    bindAll(q, statement.values);
    execOrThrow(q);
    while (q.next()) {
        ids_.push_back(q.value(0).toLongLong());
    }
    q.finish();
}

void TableRows::close() {
    ids_.clear();
    invalidate();
}

void TableRows::setIds(std::vector<qint64> ids) {
    ids_ = std::move(ids);
    invalidate();
}

void TableRows::appendId(qint64 id) {
    ids_.push_back(id);
    invalidate();
}

void TableRows::removeAt(int row) {
    ids_.erase(ids_.begin() + row);
    invalidate();
}

int TableRows::version(int row) const {
    if (!server_) {
        return 0;
    }
    this->row(row);
    const auto found = versions_.find(ids_[size_t(row)]);
    return found == versions_.end() ? 0 : found->second;
}

QVariantList TableRows::fetchRow(qint64 rowId) const {
    const QSqlDatabase db = connection_->database();
    if (rowQueryGeneration_ != connection_->generation()) {
        rowQuery_.reset();  // prepared on a connection the server cut
        rowQueryGeneration_ = connection_->generation();
    }
    if (!rowQuery_) {
        prepared(rowQuery_, db, rowSql());
    }
    QSqlQuery& q = *rowQuery_;
    q.bindValue(0, rowId);
    execOrThrow(q);
    QVariantList values;
    const int count = columns_.size();
    if (q.next()) {
        values.reserve(count);
        for (int i = 0; i < count; ++i) {
            values << fromDb(q, i);
        }
        if (server_) {
            versions_[rowId] = q.value(count).toInt();
        }
    } else {
        values.resize(count);  // deleted meanwhile: shown as nulls
    }
    q.finish();
    return values;
}

const QVariantList& TableRows::row(int row) const {
    const qint64 id = ids_[size_t(row)];
    if (const QVariantList* kept = cache_.findRow(id)) {
        return *kept;
    }
    return cache_.keepRow(id, fetchRow(id));
}

std::vector<QVariant> TableRows::fetchBlock(int start, int column) const {
    const int end = std::min<int>(start + cache_.blockRows(), rowCount());
    QStringList list;
    std::unordered_map<qint64, int> position;
    for (int r = start; r < end; ++r) {
        list << QString::number(ids_[size_t(r)]);
        position.emplace(ids_[size_t(r)], r - start);
    }
    std::vector<QVariant> values(size_t(end - start));
    auto read = [&](QSqlQuery& q) {
        while (q.next()) {
            values[size_t(position[q.value(0).toLongLong()])] = fromDb(q, 1);
        }
        q.finish();
    };
    if (server_) {
        read(serverBlockQuery(column, u'{' + list.join(u',') + u'}'));
        return values;
    }
    QSqlQuery q(connection_->database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("select rowid,%1 from %2 where rowid in (%3)")
                    .arg(quotedName(columns_.names()[column]), quotedName(schemaTable_), list.join(u',')))) {
        throwQueryError(q);
    }
    read(q);
    return values;
}

QVariant TableRows::valueAt(int row, int column) const {
    if (heavy_[size_t(column)]) {
        return this->row(row)[column];
    }
    if (const QVariant* kept = cache_.findValue(row, column)) {
        return *kept;
    }
    return cache_.keepBlock(row, column, fetchBlock(cache_.blockStart(row), column));
}

// One statement for all rows: going through them by blocks would take a statement per block and
// column, and row by row one per row.
std::vector<QVariant> TableRows::valuesOfAllRows(const std::vector<int>& columns) const {
    if (ids_.empty()) {
        return {};  // an empty list of ids is no statement a server takes
    }
    QStringList names;
    for (int column : columns) {
        names << quotedName(columns_.names()[column]);
    }
    QString sql = QStringLiteral("select rowid,%1 from %2").arg(names.join(u','), quotedName(schemaTable_));
    if (ids_.size() <= kLongestIdList) {
        QStringList list;
        for (qint64 id : ids_) {
            list << QString::number(id);
        }
        sql += QStringLiteral(" where rowid in (%1)").arg(list.join(u','));
    }
    std::unordered_map<qint64, size_t> position;
    for (size_t i = 0; i < ids_.size(); ++i) {
        position.emplace(ids_[i], i);
    }
    QSqlQuery q(connection_->database());
    q.setForwardOnly(true);
    if (!q.exec(sql)) {
        throwQueryError(q);
    }
    const size_t width = columns.size();
    std::vector<QVariant> values(ids_.size() * width);
    while (q.next()) {
        auto found = position.find(q.value(0).toLongLong());
        if (found != position.end()) {
            for (size_t c = 0; c < width; ++c) {
                values[found->second * width + c] = fromDb(q, int(c) + 1);
            }
        }
    }
    return values;
}

}  // namespace meridell::data
