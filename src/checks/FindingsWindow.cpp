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

    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setWordWrap(true);
    layout->addWidget(Label1);

    model_ = new FindingsModel(this);
    FindingGrid = new QTableView(this);
    FindingGrid->setObjectName("FindingGrid");
    FindingGrid->setAccessibleName(QStringLiteral("检查结果"));
    FindingGrid->setModel(model_);
    FindingGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    FindingGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    FindingGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FindingGrid->verticalHeader()->hide();
    FindingGrid->horizontalHeader()->setStretchLastSection(true);
    for (auto [column, width] : {std::pair{0, 180}, {1, 110}, {2, 120}}) {
        FindingGrid->setColumnWidth(column, width);
    }
    Label1->setBuddy(FindingGrid);
    layout->addWidget(FindingGrid, 1);
    // Enter on a line does what a double-click does.
    connect(FindingGrid, &QTableView::activated, this,
            [this](const QModelIndex& index) { FindingGridDblClick(index.row()); });
    connect(FindingGrid, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { FindingGridDblClick(index.row()); });

    auto* buttons = new QHBoxLayout;
    Button1 = new QPushButton(QStringLiteral("关闭"), this);
    Button1->setObjectName("Button1");
    Button1->setAccessibleName(Button1->text());
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addStretch();
    buttons->addWidget(Button1);
    layout->addLayout(buttons);
}

void FindingsWindow::setFindings(std::vector<Finding> findings) {
    chosen_.reset();
    Label1->setText(findingsSummary(findings) +
                    QStringLiteral("双击一行，可以打开该项目并转到相应的填写框。"));
    Label1->setAccessibleName(Label1->text());
    model_->setFindings(std::move(findings));
    if (model_->rowCount() > 0) {
        FindingGrid->selectRow(0);
    }
}

void FindingsWindow::FindingGridDblClick(int row) {
    // A double-click may also count as an activation: the line is taken once.
    if (chosen_ || row < 0 || row >= model_->rowCount()) {
        return;
    }
    chosen_ = model_->findings()[std::size_t(row)];
    done(OpenFinding);
}

}  // namespace meridell::checks
