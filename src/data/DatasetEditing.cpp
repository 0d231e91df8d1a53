// The edit buffer of a Dataset, its write-back through the TableWriter, the memento of a failed
// transaction and the quiet scope.
#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/Dataset.h"

#include <algorithm>
#include <utility>

namespace meridell::data {

void Dataset::setValue(const QString& name, const QVariant& value) {
    int column = requireField(name);
    if (state_ == State::Browse) {
        edit();
    }
    requireRow();
    if (column == tableRows_.counterColumn()) {
        throw Error(QStringLiteral("Field '%1' cannot be modified").arg(name));
    }
    QVariant v = (value.isValid() && !value.isNull()) ? value : QVariant();
    buffer_[column] = v;
    modified_ = true;
    if (quiet_ > 0) {
        pending_ |= kCurrent;
    } else {
        emit fieldChanged(column);
    }
}

void Dataset::setField(int ordinal, const QVariant& value) {
    setValue(fieldName(ordinal), value);
}

void Dataset::append() {
    requireOpen();
    requireEditable();
    checkBrowseMode();
    buffer_ = QVariantList(fieldCount());
    modified_ = false;
    setState(State::Insert);
    bof_ = eof_ = false;
    notify(kRowsReset);
    setCurrent(tableRows_.rowCount());
}

void Dataset::edit() {
    requireOpen();
    if (state_ == State::Edit || state_ == State::Insert) {
        return;
    }
    requireEditable();
    if (current_ < 0) {
        append();
        return;
    }
    buffer_ = tableRows_.row(current_);
    editVersion_ = tableRows_.version(current_);
    modified_ = false;
    setState(State::Edit);
}

void Dataset::post() {
    requireOpen();
    if (state_ == State::Browse) {
        return;
    }
    const bool inserted = state_ == State::Insert;
    if (inserted) {
        qint64 id = writer_.insert(buffer_);
        tableRows_.appendId(id);
        current_ = tableRows_.rowCount() - 1;
    } else {
        const qint64 id = tableRows_.ids()[size_t(current_)];
        int version = 0;
        try {
            version = writer_.update(id, buffer_, editVersion_);
        } catch (const DatabaseError& e) {
            if (e.cause() == DatabaseError::Cause::Changed) {
                tableRows_.invalidate();  // the next edit starts from the row as it is now
            }
            throw;
        }
        tableRows_.invalidate();
        tableRows_.setVersion(id, version);
    }
    buffer_.clear();
    modified_ = false;
    setState(State::Browse);
    if (inserted) {
        notify(kRowsReset);
    }
    notify(kCurrent);
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
        current_ = std::min(current_, tableRows_.rowCount() - 1);
        eof_ = tableRows_.rowCount() == 0;
        notify(kRowsReset);
    }
    notify(kCurrent);
}

void Dataset::remove() {
    requireOpen();
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    requireRow();
    requireEditable();
    writer_.remove(tableRows_.ids()[size_t(current_)]);
    buffer_.clear();
    modified_ = false;
    setState(State::Browse);
    tableRows_.removeAt(current_);
    current_ = std::min(current_, tableRows_.rowCount() - 1);
    eof_ = tableRows_.rowCount() == 0;
    notify(kRowsReset);
    notify(kCurrent);
}

void Dataset::releaseStatements() {
    tableRows_.releaseStatements();
    writer_.drop();
}

Dataset::Memento Dataset::memento() const {
    return Memento{state_, tableRows_.ids(), current_, buffer_, modified_, bof_, eof_};
}

void Dataset::restore(const Memento& m) {
    if (state_ == State::Inactive || m.state == State::Inactive) {
        return;
    }
    tableRows_.setIds(m.rowIds);
    current_ = m.current;
    buffer_ = m.buffer;
    modified_ = m.modified;
    bof_ = m.bof;
    eof_ = m.eof;
    setState(m.state);
    notify(kRowsReset);
    notify(kCurrent);
}

void Dataset::notify(Notice notice) {
    if (quiet_ > 0) {
        pending_ |= notice;
        return;
    }
    switch (notice) {
        case kOpenedOrClosed:
            if (isOpen()) {
                emit opened();
            } else {
                emit closed();
            }
            break;
        case kRowsReset:
            emit rowsReset();
            break;
        case kCurrent:
            emit currentChanged();
            break;
        case kState:
            emit stateChanged(state_);
            break;
    }
}

void Dataset::endQuiet() noexcept {
    if (--quiet_ > 0 || pending_ == 0) {
        return;
    }
    const unsigned pending = std::exchange(pending_, 0u);
    try {
        for (Notice notice : {kOpenedOrClosed, kRowsReset, kCurrent, kState}) {
            if (pending & notice) {
                notify(notice);
            }
        }
    } catch (...) {
        // A view could not show the final row; it keeps what it showed until the next change.
    }
}

Dataset::QuietScope::QuietScope(std::initializer_list<Dataset*> datasets) : datasets_(datasets) {
    for (Dataset* d : datasets_) {
        ++d->quiet_;
    }
}

Dataset::QuietScope::~QuietScope() {
    for (auto it = datasets_.rbegin(); it != datasets_.rend(); ++it) {
        (*it)->endQuiet();
    }
}

}  // namespace meridell::data
