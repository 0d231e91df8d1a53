#include "checks/FindingsWindow.h"

#include "record/core/FieldTable.h"

#include <QBrush>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace meridell::checks {

void FindingsModel::setFindings(std::vector<Finding> findings) {
    beginResetModel();
    findings_ = std::move(findings);
    endResetModel();
}

int FindingsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(findings_.size());
}

int FindingsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

namespace {

QString projectText(const Finding& f) {
    return f.projectName.isEmpty() ? QStringLiteral("（未填写项目名称）") : f.projectName;
}

QString cellText(const Finding& f, int column) {
    switch (column) {
        case FindingsModel::ProjectColumn:
            return projectText(f);
        case FindingsModel::PageColumn:
            return QString::fromUtf8(record::pageTable()[f.page].caption);
        case FindingsModel::FieldColumn:
            return f.label;
        case FindingsModel::FindingColumn:
            return severityText(f.severity) + QStringLiteral("：") + f.text;
        default:
            return {};
    }
}

}  // namespace

QVariant FindingsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const Finding& f = findings_[std::size_t(index.row())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return cellText(f, index.column());
        case Qt::ToolTipRole:
            return QStringLiteral("%1\n项目负责人：%2；承担单位：%3")
                .arg(projectText(f), f.projectMan, f.takeUnit);
        case Qt::ForegroundRole:
            if (f.severity == Severity::Error && index.column() == FindingColumn) {
                return QBrush(Qt::red);
            }
            return {};
        default:
            return {};
    }
}

QVariant FindingsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    static const char* const titles[ColumnCount] = {"项目", "页面", "字段", "检查结果"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(titles[section]) : QVariant();
}

FindingsWindow::FindingsWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("findingsWindow");
    setWindowTitle(QStringLiteral("申报检查"));
    setAccessibleName(windowTitle());
    resize(760, 420);
    auto* layout = new QVBoxLayout(this);

    summaryLabel = new QLabel(this);
    summaryLabel->setObjectName("summaryLabel");
    summaryLabel->setWordWrap(true);
    layout->addWidget(summaryLabel);

    model_ = new FindingsModel(this);
    findingsGrid = new QTableView(this);
    findingsGrid->setObjectName("findingsGrid");
    findingsGrid->setAccessibleName(QStringLiteral("检查结果"));
    findingsGrid->setModel(model_);
    findingsGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    findingsGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    findingsGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    findingsGrid->verticalHeader()->hide();
    findingsGrid->horizontalHeader()->setStretchLastSection(true);
    for (auto [column, width] : {std::pair{0, 180}, {1, 110}, {2, 120}}) {
        findingsGrid->setColumnWidth(column, width);
    }
    summaryLabel->setBuddy(findingsGrid);
    layout->addWidget(findingsGrid, 1);
    // Enter on a line does what a double-click does.
    connect(findingsGrid, &QTableView::activated, this,
            [this](const QModelIndex& index) { findingChosen(index.row()); });
    connect(findingsGrid, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { findingChosen(index.row()); });

    auto* buttons = new QHBoxLayout;
    closeButton = new QPushButton(QStringLiteral("关闭"), this);
    closeButton->setObjectName("closeButton");
    closeButton->setAccessibleName(closeButton->text());
    closeButton->setAutoDefault(false);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);
}

void FindingsWindow::setFindings(std::vector<Finding> findings) {
    chosen_.reset();
    summaryLabel->setText(findingsSummary(findings) +
                          QStringLiteral("双击一行，可以打开该项目并转到相应的填写框。"));
    summaryLabel->setAccessibleName(summaryLabel->text());
    model_->setFindings(std::move(findings));
    if (model_->rowCount() > 0) {
        findingsGrid->selectRow(0);
    }
}

void FindingsWindow::findingChosen(int row) {
    // A double-click may also count as an activation: the line is taken once.
    if (chosen_ || row < 0 || row >= model_->rowCount()) {
        return;
    }
    chosen_ = model_->findings()[std::size_t(row)];
    done(OpenFinding);
}

}  // namespace meridell::checks
