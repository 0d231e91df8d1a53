#include "data/DatasetModel.h"

#include "common/core/Error.h"
#include "data/ReadFailures.h"

namespace meridell::data {

DatasetModel::DatasetModel(Dataset* dataset, std::vector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), dataset_(dataset), columns_(std::move(columns)) {
    connect(dataset_, &Dataset::rowsReset, this, &DatasetModel::reset);
    connect(dataset_, &Dataset::fieldChanged, this, [this](int field) {
        int row = dataset_->currentRow();
        for (int c = 0; c < int(columns_.size()); ++c) {
            if (fieldOf(c) == field && row >= 0) {
                emit dataChanged(index(row, c), index(row, c));
            }
        }
    });
    connect(dataset_, &Dataset::currentChanged, this, [this] {
        if (dataset_->currentRow() >= 0 && rowCount() > 0) {
            emit dataChanged(index(dataset_->currentRow(), 0),
                             index(dataset_->currentRow(), columnCount() - 1));
        }
    });
    reset();
}

void DatasetModel::reset() {
    ReadFailures::instance().rearm();
    beginResetModel();
    fields_.clear();
    for (const GridColumn& c : columns_) {
        fields_.push_back(dataset_->fieldIndex(c.field));
    }
    endResetModel();
}

int DatasetModel::fieldOf(int column) const {
    return column >= 0 && column < int(fields_.size()) ? fields_[column] : -1;
}

int DatasetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : dataset_->recordCount();
}

int DatasetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    // Views ask while they paint, where no error may escape: a value that cannot be read is shown
    // empty, and ReadFailures tells the user why.
    ReadFailures& failures = ReadFailures::instance();
    if (failures.resting()) {
        return QString();
    }
    QVariant v;
    try {
        v = dataset_->valueAt(index.row(), fieldOf(index.column()));
    } catch (const std::exception& e) {
        failures.failed(errorText(e));
        return QString();
    }
    return v.isValid() ? QVariant(v.toString()) : QVariant(QString());
}

bool DatasetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || readOnly_ || fieldOf(index.column()) < 0) {
        return false;
    }
    bool written = false;
    auto write = [&] {
        dataset_->moveTo(index.row());
        dataset_->setValue(columns_[index.column()].field, value);
        written = true;
    };
    if (guard_) {
        guard_(write);
    } else {
        write();
    }
    if (written) {
        emit dataChanged(index, index);
    }
    return written;
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < int(columns_.size())) {
        return columns_[section].title;
    }
    if (orientation == Qt::Vertical && role == Qt::DisplayRole) {
        return QString();
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && !readOnly_) {
        f |= Qt::ItemIsEditable;
    }
    return f;
}

}  // namespace meridell::data
