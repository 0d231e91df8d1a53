#pragma once

#include <QHash>
#include <QObject>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <list>
#include <memory>
#include <unordered_map>
#include <vector>

namespace meridell::data {

class Connection;

// A query over one table of a project database, in the manner of a record-set: it runs a SELECT,
// keeps a current row and its state, and writes a posted row back to its table by SQLite's rowid.
//
// Only the row ids are read when it opens; column values are fetched when they are asked for, in
// blocks of rows per short column and row by row for memos, so a large table with long texts opens
// fast and does not load every memo.
//
// Statements of the form "select * from <table> [where/order ...]" are editable. Any other SELECT
// is read into memory as it is and is read-only. Parameters ":name" (or "?") are filled by position.
// Errors are thrown as meridell::Error with the engine's text.
class Dataset : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    explicit Dataset(QString name = {}, QObject* parent = nullptr);
    ~Dataset() override;

    void setConnection(Connection* connection);
    Connection* connection() const { return connection_; }

    // Replacing the statement closes the dataset and clears its parameters.
    void setSql(const QString& sql);
    const QString& sql() const { return sql_; }
    // Parameters in order of appearance; index 0 is ":text1" in the key statements.
    void setParameter(int index, const QVariant& value);
    void setParameters(const QVariantList& values);
    int parameterCount() const;
    const QVariantList& parameters() const { return params_; }

    void open();
    void close();
    bool isOpen() const { return state_ != State::Inactive; }
    // close(), then open() again with the same statement and parameters.
    void reopen();

    // Navigation. Moving away from a row in Edit or Insert posts it (or drops it when untouched).
    void first();
    void next();
    void prior();
    void last();
    void moveTo(int row);
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    bool isEmpty() const { return recordCount() == 0; }
    int recordCount() const;
    int currentRow() const { return current_; }  // 0-based, -1 when empty

    int fieldCount() const { return int(columns_.size()); }
    const QStringList& fieldNames() const { return columns_; }
    int fieldIndex(const QString& name) const;  // 0-based, -1 when absent
    const QString& tableName() const { return table_; }

    // Current row by name and by 1-based ordinal. A null value is an invalid QVariant.
    QVariant value(const QString& name) const;
    QVariant field(int ordinal) const;
    QString text(const QString& name) const { return value(name).toString(); }
    bool isNull(const QString& name) const { return !value(name).isValid(); }
    // Writing puts a browsed row into Edit first.
    void setValue(const QString& name, const QVariant& value);
    void setField(int ordinal, const QVariant& value);
    // Any row, 0-based row and column, without moving (for grids).
    QVariant valueAt(int row, int column) const;

    // Row operations.
    void append();  // a new empty row at the end becomes current (Insert)
    void edit();    // the current row goes into Edit; on an empty dataset this starts a new row
    void post();    // writes the row; a counter column is filled by the database
    void cancel();  // drops the changes; an appended row disappears
    void remove();  // deletes the current row from the table at once
    State state() const { return state_; }
    bool isModified() const { return modified_; }
    bool isEditable() const { return !table_.isEmpty() && !readOnly_; }

    // SQLite rowid of the current row (0 while inserting or when empty).
    qint64 rowId() const;
    bool moveToRowId(qint64 rowId);

    // Everything needed to put the dataset back as it was before a failed transaction.
    struct Memento {
        State state = State::Inactive;
        std::vector<qint64> rowIds;
        int current = -1;
        QVariantList buffer;
        bool modified = false;
        bool bof = true;
        bool eof = true;
    };
    Memento memento() const;
    void restore(const Memento& memento);

signals:
    void opened();
    void closed();
    // The set of rows changed (open, close, append, post of a new row, delete, cancel of an append).
    void rowsReset();
    // The current row moved or was reloaded: bound controls show its values again.
    void currentChanged();
    // One column of the current row was written through setValue.
    void fieldChanged(int column);
    void stateChanged(State state);

private:
    // The values of one short column for a block of consecutive rows.
    struct Block {
        int index;
        int column;
        std::vector<QVariant> values;
    };

    void requireOpen() const;
    void requireRow() const;
    void checkBrowseMode();
    void setCurrent(int row);
    void setState(State state);
    void invalidateCache();
    QVariantList fetchFullRow(qint64 rowId) const;
    const QVariantList& fullRow(int row) const;
    const QVariant& lightValue(int row, int column) const;
    void loadSchema();
    int schemaVersion();
    void dropStatements();
    void indexColumns();
    void openEager(const QString& sql);
    QSqlQuery& prepared(std::unique_ptr<QSqlQuery>& slot, const QString& sql) const;
    void bindAll(QSqlQuery& q, const QVariantList& values) const;
    QVariant fromDb(const QSqlQuery& q, int index) const;
    QVariant toDb(const QVariant& v) const;

    Connection* connection_ = nullptr;
    QString sql_;
    QVariantList params_;
    QString table_;  // source table; empty for a read-only statement
    QString idSql_;  // statement that lists the row ids
    bool readOnly_ = false;

    QStringList columns_;
    QHash<QString, int> columnIndex_;  // exact and lower-case names
    std::vector<bool> heavy_;          // memo columns, fetched row by row
    int counterColumn_ = -1;

    std::vector<qint64> rowIds_;
    std::vector<QVariantList> eagerRows_;  // rows of a read-only statement
    int current_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    State state_ = State::Inactive;
    QVariantList buffer_;  // the row being edited or inserted
    bool modified_ = false;

    // Caches, filled on demand.
    mutable std::list<Block> blocks_;
    mutable std::unordered_map<qint64, QVariantList> fullCache_;
    mutable std::list<qint64> fullOrder_;
    mutable std::unique_ptr<QSqlQuery> fullQuery_;
    mutable std::unique_ptr<QSqlQuery> idQuery_;
    mutable std::unique_ptr<QSqlQuery> insertQuery_;
    mutable std::unique_ptr<QSqlQuery> updateQuery_;
    mutable std::unique_ptr<QSqlQuery> deleteQuery_;
    mutable QString idQuerySql_;
    // Statements and the column list survive close() and are used again by the next open() while
    // the connection stays open and the table's schema is unchanged, so that reopening with new
    // parameters (a key lookup per row) costs only the lookup itself.
    mutable std::unique_ptr<QSqlQuery> versionQuery_;
    quint64 preparedGeneration_ = 0;
    QString schemaTable_;
    int schemaVersion_ = -1;
};

}  // namespace meridell::data
