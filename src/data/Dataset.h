#pragma once

#include "data/MemoryRows.h"
#include "data/ProjectQuery.h"
#include "data/TableRows.h"
#include "data/TableWriter.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <initializer_list>
#include <optional>
#include <vector>

namespace meridell::data {

class Connection;

// A query over one table of a project database, in the manner of a record-set: it lists the rows
// of a ProjectQuery, keeps a current row and its state, and writes a posted row back to its table by
// SQLite's rowid.
//
// The rows of a ProjectQuery come from TableRows (row ids on opening, values on demand) and are
// written by a TableWriter. A statement given as text instead is read into memory (MemoryRows) and
// is read-only; its parameters ":name" (or "?") are filled by position. Errors are thrown as
// meridell::Error with the engine's text.
class Dataset : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    explicit Dataset(QString name = {}, QObject* parent = nullptr);
    ~Dataset() override;

    void setConnection(Connection* connection);
    Connection* connection() const { return connection_; }

    // Replacing the query closes the dataset; its rows can then be edited.
    void setQuery(ProjectQuery query);
    // The query the rows come from; none while the rows come from a statement given as text.
    const ProjectQuery* query() const { return query_ ? &*query_ : nullptr; }
    // A read-only statement given as text in place of a query; replacing it closes the dataset
    // and clears its parameters.
    void setSql(const QString& sql);
    const QString& sql() const { return sql_; }
    // Parameters of the statement given as text, in order of appearance.
    void setParameters(const QVariantList& values);
    int parameterCount() const;
    const QVariantList& parameters() const { return params_; }

    void open();
    void close();
    bool isOpen() const { return state_ != State::Inactive; }
    // close(), then open() again with the same query (or statement and parameters).
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

    int fieldCount() const { return columns().size(); }
    const QStringList& fieldNames() const { return columns().names(); }
    int fieldIndex(const QString& name) const { return columns().indexOf(name); }  // -1 when absent
    const QString& tableName() const { return table_; }

    // Current row by name and by 1-based ordinal. A null value is an invalid QVariant.
    QVariant value(const QString& name) const;
    QVariant field(int ordinal) const;
    QString text(const QString& name) const { return value(name).toString(); }
    bool isNull(const QString& name) const { return !value(name).isValid(); }
    // The current row's value as the table holds it, before the typing of an edit; null while a
    // new row is appended or when there is no row.
    QVariant storedValue(const QString& name) const;
    // Writing puts a browsed row into Edit first.
    void setValue(const QString& name, const QVariant& value);
    void setField(int ordinal, const QVariant& value);
    // Any row, 0-based row and column, without moving (for grids).
    QVariant valueAt(int row, int column) const;

    // The values of `fields` for every row, row after row, without moving: one statement for a
    // browsed table, the rows as they stand (typed values included) otherwise; nothing while
    // closed. Throws when a field is not a column.
    std::vector<QVariant> valuesOfAllRows(const QStringList& fields) const;

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
    // The rowids of the stored rows in their order (none for a read-only statement).
    const std::vector<qint64>& rowIds() const { return tableRows_.ids(); }

    // Drops the statements prepared on its connection, to be prepared again when next needed: the
    // connection calls it before a server connection that was cut is made again, since a statement
    // freed on the new connection would fail the transaction running there.
    void releaseStatements();

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

    // While a scope lasts its datasets send no signals; when the last scope of a dataset ends, it
    // sends once what happened meanwhile (opened or closed, rowsReset, currentChanged for moves and
    // written fields, stateChanged), so that views show where a batch of moves ends, not each row
    // on the way. Scopes nest. A view that fails to show the end keeps what it showed.
    class QuietScope {
    public:
        explicit QuietScope(Dataset& dataset) : QuietScope({&dataset}) {}
        explicit QuietScope(std::initializer_list<Dataset*> datasets);
        ~QuietScope();
        QuietScope(const QuietScope&) = delete;
        QuietScope& operator=(const QuietScope&) = delete;

    private:
        std::vector<Dataset*> datasets_;
    };

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
    // What the signals tell, as kept back while quiet.
    enum Notice : unsigned { kOpenedOrClosed = 1, kRowsReset = 2, kCurrent = 4, kState = 8 };

    const Columns& columns() const;
    void requireOpen() const;
    void requireRow() const;
    void requireEditable() const;
    int requireField(const QString& name) const;
    const QString& fieldName(int ordinal) const;
    void checkBrowseMode();
    void setCurrent(int row);
    void setState(State state);
    void dropStatements();
    void openTable(const ProjectQuery& query);
    void enterBrowse();
    void notify(Notice notice);
    void endQuiet() noexcept;

    Connection* connection_ = nullptr;
    std::optional<ProjectQuery> query_;
    QString sql_;
    QVariantList params_;
    QString table_;  // source table; empty for a read-only statement
    bool readOnly_ = false;

    TableRows tableRows_;
    MemoryRows memoryRows_;
    const RowSource* source_ = nullptr;  // the one opened last
    TableWriter writer_;

    int current_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    State state_ = State::Inactive;
    QVariantList buffer_;  // the row being edited or inserted
    int editVersion_ = 0;  // on a server, the version of the edited row as it was read
    bool modified_ = false;

    int quiet_ = 0;
    unsigned pending_ = 0;
};

}  // namespace meridell::data
