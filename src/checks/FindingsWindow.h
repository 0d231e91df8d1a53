#pragma once

#include "checks/core/HandInCheck.h"

#include <QAbstractTableModel>
#include <QDialog>

#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QTableView;

namespace meridell::checks {

// The findings of the hand-in check as a table: project, page, field, finding.
class FindingsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ProjectColumn, PageColumn, FieldColumn, FindingColumn, ColumnCount };

    explicit FindingsModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void setFindings(std::vector<Finding> findings);
    const std::vector<Finding>& findings() const { return findings_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<Finding> findings_;
};

// The window of the hand-in check ("申报检查"). Double-clicking a line (or Enter on it) closes the
// window with `OpenFinding`, and `chosen()` is the finding to open on the record form; "关闭"
// closes it without one.
class FindingsWindow : public QDialog {
    Q_OBJECT
public:
    enum Result { OpenFinding = 2 };

    explicit FindingsWindow(QWidget* parent = nullptr);

    QLabel* summaryLabel = nullptr;  // how many errors and hints were found
    QTableView* findingsGrid = nullptr;
    QPushButton* closeButton = nullptr;  // 关闭

    void setFindings(std::vector<Finding> findings);
    FindingsModel* model() const { return model_; }
    std::optional<Finding> chosen() const { return chosen_; }

    // The line at `row` chosen to be opened, as a double-click does.
    void findingChosen(int row);

private:
    FindingsModel* model_ = nullptr;
    std::optional<Finding> chosen_;
};

}  // namespace meridell::checks
