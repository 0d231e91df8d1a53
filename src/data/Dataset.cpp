#include "data/Dataset.h"

#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/SelectStatement.h"
#include "data/SqlDialect.h"

#include <algorithm>

namespace meridell::data {

Dataset::Dataset(QString name, QObject* parent) : QObject(parent) {
    setObjectName(name);
}

Dataset::~Dataset() {
    dropStatements();
    if (connection_) {
        connection_->detach(this);
    }
}

void Dataset::setConnection(Connection* connection) {
    close();
    dropStatements();
    if (connection_) {
        connection_->detach(this);
    }
    connection_ = connection;
    if (connection_) {
        connection_->attach(this);
    }
}

void Dataset::dropStatements() {
    tableRows_.drop();
    writer_.drop();
}

void Dataset::setQuery(ProjectQuery query) {
    close();
    query_ = std::move(query);
    sql_.clear();
    params_.clear();
}

void Dataset::setSql(const QString& sql) {
    close();
    query_.reset();
    sql_ = sql;
    params_.clear();
}

void Dataset::setParameters(const QVariantList& values) {
    params_ = values;
}

int Dataset::parameterCount() const {
    if (query_) {
        return int(sqliteDialect().selectRowIds(*query_).values.size());
    }
    return SelectStatement::parse(sql_).parameterCount;
}

const Columns& Dataset::columns() const {
    static const Columns none;
    return source_ ? source_->columns() : none;
}

void Dataset::open() {
    if (isOpen()) {
        return;
    }
    if (!connection_ || !connection_->isOpen()) {
        throw Error(QStringLiteral("Dataset %1: the connection is not open").arg(objectName()));
    }
    tableRows_.close();
    memoryRows_.close();
    if (query_) {
        openTable(*query_);
    } else {
        table_.clear();
        readOnly_ = true;
        source_ = &memoryRows_;
        memoryRows_.open(*connection_, SelectStatement::parse(sql_).positional, params_);
    }
    enterBrowse();
    notify(kOpenedOrClosed);
    notify(kRowsReset);
    notify(kCurrent);
    notify(kState);
}

void Dataset::openTable(const ProjectQuery& query) {
    table_ = query.table;
    readOnly_ = false;
    source_ = &tableRows_;
    if (tableRows_.open(*connection_, query)) {
        writer_.reset(connection_, table_, tableRows_.columns().names(), tableRows_.counterColumn());
    }
}

// Browsing the first row of what has just been opened.
void Dataset::enterBrowse() {
    state_ = State::Browse;
    modified_ = false;
    buffer_.clear();
    current_ = recordCount() > 0 ? 0 : -1;
    bof_ = true;
    eof_ = recordCount() == 0;
}

void Dataset::close() {
    if (state_ == State::Inactive) {
        return;
    }
    state_ = State::Inactive;
    tableRows_.close();
    memoryRows_.close();
    buffer_.clear();
    modified_ = false;
    current_ = -1;
    bof_ = eof_ = true;
    notify(kOpenedOrClosed);
    notify(kRowsReset);
    notify(kCurrent);
    notify(kState);
}

void Dataset::reopen() {
    close();
    open();
}

int Dataset::recordCount() const {
    if (state_ == State::Inactive) {
        return 0;
    }
    return source_->rowCount() + (state_ == State::Insert ? 1 : 0);
}

void Dataset::requireOpen() const {
    if (state_ == State::Inactive) {
        throw Error(QStringLiteral("Dataset %1: the dataset is closed").arg(objectName()));
    }
}

void Dataset::requireRow() const {
    requireOpen();
    if (current_ < 0) {
        throw Error(QStringLiteral("Dataset %1: there is no current row").arg(objectName()));
    }
}

void Dataset::requireEditable() const {
    if (!isEditable()) {
        throw Error(QStringLiteral("Dataset %1: the statement cannot be edited").arg(objectName()));
    }
}

int Dataset::requireField(const QString& name) const {
    int column = fieldIndex(name);
    if (column < 0) {
        throw Error(QStringLiteral("Dataset %1: field '%2' not found").arg(objectName(), name));
    }
    return column;
}

const QString& Dataset::fieldName(int ordinal) const {
    if (ordinal < 1 || ordinal > fieldCount()) {
        throw Error(QStringLiteral("Dataset %1: field %2 not found").arg(objectName()).arg(ordinal));
    }
    return fieldNames()[ordinal - 1];
}

void Dataset::checkBrowseMode() {
    if (state_ == State::Edit || state_ == State::Insert) {
        if (modified_) {
            post();
        } else {
            cancel();
        }
    }
}

void Dataset::setCurrent(int row) {
    current_ = row;
    notify(kCurrent);
}

void Dataset::setState(State state) {
    if (state_ != state) {
        state_ = state;
        notify(kState);
    }
}

void Dataset::first() {
    requireOpen();
    checkBrowseMode();
    bof_ = true;
    eof_ = recordCount() == 0;
    setCurrent(recordCount() > 0 ? 0 : -1);
}

void Dataset::last() {
    requireOpen();
    checkBrowseMode();
    eof_ = true;
    bof_ = recordCount() == 0;
    setCurrent(recordCount() - 1);
}

void Dataset::next() {
    requireOpen();
    checkBrowseMode();
    bof_ = false;
    if (current_ + 1 < recordCount()) {
        setCurrent(current_ + 1);
    } else {
        eof_ = true;
    }
}

void Dataset::prior() {
    requireOpen();
    checkBrowseMode();
    eof_ = false;
    if (current_ > 0) {
        setCurrent(current_ - 1);
    } else {
        bof_ = true;
    }
}

void Dataset::moveTo(int row) {
    requireOpen();
    if (row == current_) {
        return;
    }
    checkBrowseMode();
    if (row < 0 || row >= recordCount()) {
        return;
    }
    bof_ = false;
    eof_ = false;
    setCurrent(row);
}

qint64 Dataset::rowId() const {
    const std::vector<qint64>& ids = tableRows_.ids();
    if (readOnly_ || current_ < 0 || current_ >= int(ids.size())) {
        return 0;
    }
    return ids[size_t(current_)];
}

bool Dataset::moveToRowId(qint64 rowId) {
    const std::vector<qint64>& ids = tableRows_.ids();
    auto it = std::find(ids.begin(), ids.end(), rowId);
    if (it == ids.end()) {
        return false;
    }
    moveTo(int(it - ids.begin()));
    return true;
}

QVariant Dataset::valueAt(int row, int column) const {
    if (state_ == State::Inactive || row < 0 || row >= recordCount() || column < 0 ||
        column >= fieldCount()) {
        return {};
    }
    if (row == current_ && (state_ == State::Edit || state_ == State::Insert)) {
        return buffer_[column];
    }
    return source_->valueAt(row, column);
}

QVariant Dataset::value(const QString& name) const {
    int column = requireField(name);
    requireOpen();
    return current_ < 0 ? QVariant() : valueAt(current_, column);
}

QVariant Dataset::storedValue(const QString& name) const {
    int column = requireField(name);
    requireOpen();
    if (current_ < 0 || state_ == State::Insert) {
        return {};
    }
    return source_->valueAt(current_, column);
}

QVariant Dataset::field(int ordinal) const {
    return value(fieldName(ordinal));
}

std::vector<QVariant> Dataset::valuesOfAllRows(const QStringList& fields) const {
    std::vector<int> columns;
    for (const QString& name : fields) {
        columns.push_back(requireField(name));
    }
    if (state_ == State::Inactive) {
        return {};
    }
    if (state_ == State::Browse) {
        return source_->valuesOfAllRows(columns);
    }
    return valuesRowByRow(recordCount(), columns,
                          [this](int row, int column) { return valueAt(row, column); });
}

}  // namespace meridell::data
