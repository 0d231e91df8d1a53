#pragma once

#include "data/Dataset.h"

#include <QAbstractTableModel>
#include <QString>

#include <functional>
#include <vector>

namespace meridell::data {

// A grid's view of a Dataset: chosen columns with their titles. Values are fetched only for the
// rows a view asks for. Editing a cell moves the dataset to that row and writes the value into it.
class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct GridColumn {
        QString title;
        QString field;
        int width = 64;  // pixels
    };

    explicit DatasetModel(Dataset* dataset, std::vector<GridColumn> columns, QObject* parent = nullptr);

    const std::vector<GridColumn>& gridColumns() const { return columns_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool isReadOnly() const { return readOnly_; }
    Dataset* dataset() const { return dataset_; }
    // Runs the writes of edited cells (called from a view's event handlers) under the program's
    // error report.
    void setGuard(std::function<void(const std::function<void()>&)> guard) { guard_ = std::move(guard); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void reset();
    int fieldOf(int column) const;

    Dataset* dataset_;
    std::vector<GridColumn> columns_;
    std::vector<int> fields_;  // column -> dataset field, resolved on open
    bool readOnly_ = false;
    std::function<void(const std::function<void()>&)> guard_;
};

}  // namespace meridell::data
