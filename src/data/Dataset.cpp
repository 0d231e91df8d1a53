#include "data/Dataset.h"

#include "common/core/Error.h"
#include "data/Connection.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlRecord>

#include <algorithm>

namespace meridell::data {

namespace {

constexpr int kBlockRows = 128;
constexpr size_t kMaxBlocks = 512;
constexpr size_t kMaxFullRows = 32;

// Replaces ":name" placeholders outside quotes with "?" and counts the placeholders.
QString positionalSql(const QString& sql, int* count) {
    QString out;
    out.reserve(sql.size());
    QChar quote;
    *count = 0;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        QChar c = sql[i];
        if (!quote.isNull()) {
            out += c;
            if (c == quote) {
                quote = QChar();
            }
        } else if (c == '\'' || c == '"') {
            quote = c;
            out += c;
        } else if (c == ':' && i + 1 < sql.size() && (sql[i + 1].isLetter() || sql[i + 1] == '_')) {
            while (i + 1 < sql.size() && (sql[i + 1].isLetterOrNumber() || sql[i + 1] == '_')) {
                ++i;
            }
            out += '?';
            ++*count;
        } else {
            if (c == '?') {
                ++*count;
            }
            out += c;
        }
    }
    return out;
}

[[noreturn]] void fail(const QSqlQuery& q) {
    throw DatabaseError::fromSql(q.lastError());
}

QString quoted(const QString& name) {
    return '"' + name + '"';
}

}  // namespace

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

void Dataset::setSql(const QString& sql) {
    close();
    sql_ = sql;
    params_.clear();
}

void Dataset::setParameter(int index, const QVariant& value) {
    if (params_.size() <= index) {
        params_.resize(index + 1);
    }
    params_[index] = value;
}

void Dataset::setParameters(const QVariantList& values) {
    params_ = values;
}

int Dataset::parameterCount() const {
    int count = 0;
    positionalSql(sql_, &count);
    return count;
}

QSqlQuery& Dataset::prepared(std::unique_ptr<QSqlQuery>& slot, const QString& sql) const {
    if (!slot) {
        slot = std::make_unique<QSqlQuery>(connection_->database());
        slot->setForwardOnly(true);
        if (!slot->prepare(sql)) {
            const QSqlError error = slot->lastError();
            slot.reset();
            throw DatabaseError::fromSql(error);
        }
    }
    return *slot;
}

QVariant Dataset::toDb(const QVariant& v) const {
    if (!v.isValid() || v.isNull()) {
        return QVariant(QMetaType::fromType<QString>());
    }
    switch (v.typeId()) {
        case QMetaType::QDate:
            return v.toDate().toString(Qt::ISODate);
        case QMetaType::QDateTime:
            return v.toDateTime().date().toString(Qt::ISODate);
        case QMetaType::Bool:
            return v.toBool() ? 1 : 0;
        case QMetaType::QString: {
            // A null QString would be stored as NULL; an empty text must stay an empty text.
            QString s = v.toString();
            return s.isNull() ? QVariant(QString("")) : QVariant(s);
        }
        default:
            return v;
    }
}

QVariant Dataset::fromDb(const QSqlQuery& q, int index) const {
    if (q.isNull(index)) {
        return {};
    }
    QVariant v = q.value(index);
    if (v.typeId() == QMetaType::QString && v.toString().isNull()) {
        return QVariant(QString(""));
    }
    return v;
}

void Dataset::bindAll(QSqlQuery& q, const QVariantList& values) const {
    for (int i = 0; i < values.size(); ++i) {
        q.bindValue(i, toDb(values[i]));
    }
}

void Dataset::dropStatements() {
    fullQuery_.reset();
    idQuery_.reset();
    insertQuery_.reset();
    updateQuery_.reset();
    deleteQuery_.reset();
    versionQuery_.reset();
    idQuerySql_.clear();
    schemaTable_.clear();
    schemaVersion_ = -1;
}

// The database's schema counter: it changes with every change of any table.
int Dataset::schemaVersion() {
    QSqlQuery& q = prepared(versionQuery_, QStringLiteral("PRAGMA schema_version"));
    if (!q.exec() || !q.next()) {
        fail(q);
    }
    int version = q.value(0).toInt();
    q.finish();
    return version;
}

void Dataset::loadSchema() {
    columns_.clear();
    heavy_.clear();
    counterColumn_ = -1;
    QSqlQuery info(connection_->database());
    if (!info.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(table_)))) {
        fail(info);
    }
    while (info.next()) {
        QString name = info.value(1).toString();
        QString type = info.value(2).toString().trimmed().toUpper();
        // Memo columns, and the columns stored after the first of them, are read row by row: a
        // short column behind a long text costs as much to read as the text itself.
        bool heavy = type == "TEXT" || type == "MEMO" || type == "BLOB" || type.isEmpty() ||
                     (!heavy_.empty() && heavy_.back());
        if (type.startsWith("INTEGER") && info.value(5).toInt() == 1) {
            counterColumn_ = int(columns_.size());
        }
        heavy_.push_back(heavy);
        columns_ << name;
    }
    if (columns_.isEmpty()) {
        throw Error(QStringLiteral("no such table: %1").arg(table_));
    }
    indexColumns();
}

void Dataset::open() {
    if (isOpen()) {
        return;
    }
    if (!connection_ || !connection_->isOpen()) {
        throw Error(QStringLiteral("Dataset %1: the connection is not open").arg(objectName()));
    }
    int count = 0;
    QString sql = positionalSql(sql_, &count);
    static const QRegularExpression editable(
        R"re(^\s*select\s+\*\s+from\s+"?([A-Za-z_][A-Za-z0-9_]*)"?(\s.*)?$)re",
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    QRegularExpressionMatch m = editable.match(sql);
    rowIds_.clear();
    eagerRows_.clear();
    invalidateCache();
    if (preparedGeneration_ != connection_->generation()) {
        dropStatements();
        preparedGeneration_ = connection_->generation();
    }
    if (m.hasMatch()) {
        table_ = m.captured(1);
        readOnly_ = false;
        int version = schemaVersion();
        if (table_ != schemaTable_ || version != schemaVersion_) {
            fullQuery_.reset();
            insertQuery_.reset();
            updateQuery_.reset();
            deleteQuery_.reset();
            loadSchema();
            schemaTable_ = table_;
            schemaVersion_ = version;
        }
        idSql_ = QStringLiteral("select rowid from %1%2").arg(quoted(table_), m.captured(2));
        if (!idQuery_ || idQuerySql_ != idSql_) {
            idQuery_.reset();
            prepared(idQuery_, idSql_);
            idQuerySql_ = idSql_;
        }
        QSqlQuery& q = *idQuery_;
        bindAll(q, params_.mid(0, count));
        for (int i = int(params_.size()); i < count; ++i) {
            q.bindValue(i, QVariant(QMetaType::fromType<QString>()));
        }
        if (!q.exec()) {
            fail(q);
        }
        while (q.next()) {
            rowIds_.push_back(q.value(0).toLongLong());
        }
        q.finish();
        // The engine may list the ids through an index; without an order of its own the statement
        // shows the rows in the order they were stored, as a plain scan of the table would.
        static const QRegularExpression ordered("\\border\\s+by\\b",
                                                QRegularExpression::CaseInsensitiveOption);
        if (!m.captured(2).contains(ordered)) {
            std::sort(rowIds_.begin(), rowIds_.end());
        }
    } else {
        table_.clear();
        schemaTable_.clear();
        readOnly_ = true;
        openEager(sql);
    }
    state_ = State::Browse;
    modified_ = false;
    buffer_.clear();
    current_ = recordCount() > 0 ? 0 : -1;
    bof_ = true;
    eof_ = recordCount() == 0;
    emit opened();
    emit rowsReset();
    emit currentChanged();
    emit stateChanged(state_);
}

void Dataset::openEager(const QString& sql) {
    QSqlQuery q(connection_->database());
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        fail(q);
    }
    bindAll(q, params_);
    if (!q.exec()) {
        fail(q);
    }
    QSqlRecord rec = q.record();
    columns_.clear();
    heavy_.assign(rec.count(), false);
    counterColumn_ = -1;
    for (int i = 0; i < rec.count(); ++i) {
        columns_ << rec.fieldName(i);
    }
    indexColumns();
    while (q.next()) {
        QVariantList row;
        row.reserve(rec.count());
        for (int i = 0; i < rec.count(); ++i) {
            row << fromDb(q, i);
        }
        eagerRows_.push_back(std::move(row));
    }
}

void Dataset::close() {
    if (state_ == State::Inactive) {
        return;
    }
    state_ = State::Inactive;
    rowIds_.clear();
    eagerRows_.clear();
    buffer_.clear();
    modified_ = false;
    current_ = -1;
    bof_ = eof_ = true;
    invalidateCache();
    emit closed();
    emit rowsReset();
    emit currentChanged();
    emit stateChanged(state_);
}

void Dataset::reopen() {
    close();
    open();
}

int Dataset::recordCount() const {
    if (state_ == State::Inactive) {
        return 0;
    }
    if (readOnly_) {
        return int(eagerRows_.size());
    }
    return int(rowIds_.size()) + (state_ == State::Insert ? 1 : 0);
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
    emit currentChanged();
}

void Dataset::setState(State state) {
    if (state_ != state) {
        state_ = state;
        emit stateChanged(state_);
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

int Dataset::fieldIndex(const QString& name) const {
    auto it = columnIndex_.constFind(name);
    if (it != columnIndex_.constEnd()) {
        return it.value();
    }
    return columnIndex_.value(name.toLower(), -1);
}

void Dataset::indexColumns() {
    columnIndex_.clear();
    for (int i = 0; i < columns_.size(); ++i) {
        columnIndex_.insert(columns_[i], i);
        columnIndex_.insert(columns_[i].toLower(), i);
    }
}

qint64 Dataset::rowId() const {
    if (readOnly_ || current_ < 0 || current_ >= int(rowIds_.size())) {
        return 0;
    }
    return rowIds_[current_];
}

bool Dataset::moveToRowId(qint64 rowId) {
    auto it = std::find(rowIds_.begin(), rowIds_.end(), rowId);
    if (it == rowIds_.end()) {
        return false;
    }
    moveTo(int(it - rowIds_.begin()));
    return true;
}

void Dataset::invalidateCache() {
    blocks_.clear();
    fullCache_.clear();
    fullOrder_.clear();
}

QVariantList Dataset::fetchFullRow(qint64 rowId) const {
    QSqlQuery& q = prepared(fullQuery_, QStringLiteral("select * from %1 where rowid=?").arg(quoted(table_)));
    q.bindValue(0, rowId);
    if (!q.exec()) {
        fail(q);
    }
    QVariantList row;
    if (q.next()) {
        row.reserve(columns_.size());
        for (int i = 0; i < columns_.size(); ++i) {
            row << fromDb(q, i);
        }
    } else {
        row.resize(columns_.size());  // deleted meanwhile: shown as nulls
    }
    q.finish();
    return row;
}

const QVariantList& Dataset::fullRow(int row) const {
    qint64 id = rowIds_[row];
    auto it = fullCache_.find(id);
    if (it != fullCache_.end()) {
        return it->second;
    }
    if (fullCache_.size() >= kMaxFullRows) {
        fullCache_.erase(fullOrder_.front());
        fullOrder_.pop_front();
    }
    fullOrder_.push_back(id);
    return fullCache_.emplace(id, fetchFullRow(id)).first->second;
}

const QVariant& Dataset::lightValue(int row, int column) const {
    int index = row / kBlockRows;
    for (auto it = blocks_.begin(); it != blocks_.end(); ++it) {
        if (it->index == index && it->column == column) {
            if (it != blocks_.begin()) {
                blocks_.splice(blocks_.begin(), blocks_, it);
            }
            return blocks_.front().values[row - index * kBlockRows];
        }
    }
    int begin = index * kBlockRows;
    int end = std::min<int>(begin + kBlockRows, int(rowIds_.size()));
    QStringList ids;
    std::unordered_map<qint64, int> position;
    for (int r = begin; r < end; ++r) {
        ids << QString::number(rowIds_[r]);
        position.emplace(rowIds_[r], r - begin);
    }
    QString sql = QStringLiteral("select rowid,%1 from %2 where rowid in (%3)")
                      .arg(quoted(columns_[column]), quoted(table_), ids.join(','));
    QSqlQuery q(connection_->database());
    q.setForwardOnly(true);
    if (!q.exec(sql)) {
        fail(q);
    }
    Block block{index, column, std::vector<QVariant>(end - begin)};
    while (q.next()) {
        block.values[position[q.value(0).toLongLong()]] = fromDb(q, 1);
    }
    if (blocks_.size() >= kMaxBlocks) {
        blocks_.pop_back();
    }
    blocks_.push_front(std::move(block));
    return blocks_.front().values[row - begin];
}

QVariant Dataset::valueAt(int row, int column) const {
    if (state_ == State::Inactive || row < 0 || row >= recordCount() || column < 0 ||
        column >= columns_.size()) {
        return {};
    }
    if (readOnly_) {
        return eagerRows_[row][column];
    }
    if (row == current_ && (state_ == State::Edit || state_ == State::Insert)) {
        return buffer_[column];
    }
    if (!heavy_[column]) {
        return lightValue(row, column);
    }
    return fullRow(row)[column];
}

QVariant Dataset::value(const QString& name) const {
    int column = fieldIndex(name);
    if (column < 0) {
        throw Error(QStringLiteral("Dataset %1: field '%2' not found").arg(objectName(), name));
    }
    requireOpen();
    return current_ < 0 ? QVariant() : valueAt(current_, column);
}

QVariant Dataset::field(int ordinal) const {
    if (ordinal < 1 || ordinal > columns_.size()) {
        throw Error(QStringLiteral("Dataset %1: field %2 not found").arg(objectName()).arg(ordinal));
    }
    return value(columns_[ordinal - 1]);
}

void Dataset::setValue(const QString& name, const QVariant& value) {
    int column = fieldIndex(name);
    if (column < 0) {
        throw Error(QStringLiteral("Dataset %1: field '%2' not found").arg(objectName(), name));
    }
    if (state_ == State::Browse) {
        edit();
    }
    requireRow();
    if (column == counterColumn_) {
        throw Error(QStringLiteral("Field '%1' cannot be modified").arg(name));
    }
    QVariant v = (value.isValid() && !value.isNull()) ? value : QVariant();
    buffer_[column] = v;
    modified_ = true;
    emit fieldChanged(column);
}

void Dataset::setField(int ordinal, const QVariant& value) {
    if (ordinal < 1 || ordinal > columns_.size()) {
        throw Error(QStringLiteral("Dataset %1: field %2 not found").arg(objectName()).arg(ordinal));
    }
    setValue(columns_[ordinal - 1], value);
}

void Dataset::append() {
    requireOpen();
    if (!isEditable()) {
        throw Error(QStringLiteral("Dataset %1: the statement cannot be edited").arg(objectName()));
    }
    checkBrowseMode();
    buffer_ = QVariantList(columns_.size());
    modified_ = false;
    setState(State::Insert);
    bof_ = eof_ = false;
    emit rowsReset();
    setCurrent(int(rowIds_.size()));
}

void Dataset::edit() {
    requireOpen();
    if (state_ == State::Edit || state_ == State::Insert) {
        return;
    }
    if (!isEditable()) {
        throw Error(QStringLiteral("Dataset %1: the statement cannot be edited").arg(objectName()));
    }
    if (current_ < 0) {
        append();
        return;
    }
    buffer_ = fullRow(current_);
    modified_ = false;
    setState(State::Edit);
}

void Dataset::post() {
    requireOpen();
    if (state_ == State::Browse) {
        return;
    }
    QVariantList values;
    values.reserve(columns_.size());
    for (int i = 0; i < columns_.size(); ++i) {
        if (i != counterColumn_) {
            values << buffer_[i];
        }
    }
    // The column names are needed only when a statement is prepared.
    auto names = [this] {
        QStringList out;
        for (int i = 0; i < columns_.size(); ++i) {
            if (i != counterColumn_) {
                out << quoted(columns_[i]);
            }
        }
        return out;
    };
    if (state_ == State::Insert) {
        if (!insertQuery_) {
            QStringList marks(values.size(), QStringLiteral("?"));
            prepared(insertQuery_, QStringLiteral("insert into %1 (%2) values (%3)")
                                       .arg(quoted(table_), names().join(','), marks.join(',')));
        }
        QSqlQuery& q = *insertQuery_;
        bindAll(q, values);
        if (!q.exec()) {
            fail(q);
        }
        qint64 id = q.lastInsertId().toLongLong();
        q.finish();
        rowIds_.push_back(id);
        current_ = int(rowIds_.size()) - 1;
    } else {
        if (!updateQuery_) {
            QStringList sets;
            for (const QString& n : names()) {
                sets << n + "=?";
            }
            prepared(updateQuery_,
                     QStringLiteral("update %1 set %2 where rowid=?").arg(quoted(table_), sets.join(',')));
        }
        QSqlQuery& q = *updateQuery_;
        bindAll(q, values);
        q.bindValue(int(values.size()), rowIds_[current_]);
        if (!q.exec()) {
            fail(q);
        }
        q.finish();
    }
    bool inserted = state_ == State::Insert;
    invalidateCache();
    buffer_.clear();
    modified_ = false;
    setState(State::Browse);
    if (inserted) {
        emit rowsReset();
    }
    emit currentChanged();
}

void Dataset::cancel() {
    requireOpen();
    if (state_ == State::Browse) {
        return;
    }
    bool inserted = state_ == State::Insert;
    buffer_.clear();
    modified_ = false;
    setState(State::Browse);
    if (inserted) {
        current_ = std::min(current_, int(rowIds_.size()) - 1);
        eof_ = rowIds_.empty();
        emit rowsReset();
    }
    emit currentChanged();
}

void Dataset::remove() {
    requireOpen();
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    requireRow();
    if (!isEditable()) {
        throw Error(QStringLiteral("Dataset %1: the statement cannot be edited").arg(objectName()));
    }
    QSqlQuery& q = prepared(deleteQuery_, QStringLiteral("delete from %1 where rowid=?").arg(quoted(table_)));
    q.bindValue(0, rowIds_[current_]);
    if (!q.exec()) {
        fail(q);
    }
    q.finish();
    buffer_.clear();
    modified_ = false;
    setState(State::Browse);
    rowIds_.erase(rowIds_.begin() + current_);
    invalidateCache();
    current_ = std::min(current_, int(rowIds_.size()) - 1);
    eof_ = rowIds_.empty();
    emit rowsReset();
    emit currentChanged();
}

Dataset::Memento Dataset::memento() const {
    return Memento{state_, rowIds_, current_, buffer_, modified_, bof_, eof_};
}

void Dataset::restore(const Memento& m) {
    if (state_ == State::Inactive || m.state == State::Inactive) {
        return;
    }
    rowIds_ = m.rowIds;
    current_ = m.current;
    buffer_ = m.buffer;
    modified_ = m.modified;
    bof_ = m.bof;
    eof_ = m.eof;
    invalidateCache();
    setState(m.state);
    emit rowsReset();
    emit currentChanged();
}

}  // namespace meridell::data
