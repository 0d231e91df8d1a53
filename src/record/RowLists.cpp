// The two row lists of the record form: prior projects (page 9) and research staff (page 11).

#include "app/AppContext.h"
#include "app/MessageService.h"
#include "common/core/Error.h"
#include "data/DatasetModel.h"
#include "data/Schema.h"
#include "record/BoundControls.h"
#include "record/InformationUnit.h"
#include "record/core/FieldTable.h"
#include "record/core/SaveRules.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

namespace meridell::record {

namespace {

constexpr int kGridWidth = 569;
constexpr int kGridHeight = 393;

struct RowListSpec {
    std::span<const GridColumnSpec> columns;
    const data::TableDef& table;
    QString hint;
    const char* grid;
    const char* buttons[3];
};

RowListSpec rowListSpec(int page) {
    if (page == kPriorProjectsPage) {
        return {priorProjectColumns(),
                data::table2(),
                priorProjectsHint(),
                "DBGrid1",
                {"Button1", "Button5", "Button7"}};
    }
    return {staffColumns(), data::table3(), staffHint(), "DBGrid2", {"Button8", "Button9", "Button10"}};
}

const QString kButtonCaptions[3] = {QStringLiteral("填写新条目"), QStringLiteral("保存条目"),
                                    QStringLiteral("删除条目")};

}  // namespace

QWidget* TInformationForm::buildRowListPage(int page) {
    RowListSpec list = rowListSpec(page);
    data::Dataset& rows = page == kPriorProjectsPage ? ADOQuery2 : ADOQuery3;
    auto* sheet = new QWidget;
    auto* layout = new QVBoxLayout(sheet);
    auto* hint = new QLabel(list.hint, sheet);
    hint->setStyleSheet("color: gray;");
    hint->setAccessibleName(list.hint);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    auto* grid = new QTableView(sheet);
    grid->setObjectName(QLatin1String(list.grid));
    grid->setAccessibleName(QString::fromUtf8(pageTable()[page].caption));
    hint->setBuddy(grid);
    grid->setFixedSize(kGridWidth, kGridHeight);
    std::vector<data::DatasetModel::GridColumn> columns;
    std::vector<int> limits;
    for (const GridColumnSpec& c : list.columns) {
        columns.push_back({QString::fromUtf8(c.title), QLatin1String(c.column), c.width});
        int index = list.table.indexOf(QLatin1String(c.column));
        limits.push_back(index >= 0 && list.table.columns[index].type == data::ColumnType::Text
                             ? list.table.columns[index].size
                             : -1);
    }
    auto* model = new data::DatasetModel(&rows, columns, grid);
    model->setGuard([this](const std::function<void()>& work) { context_.guard(work); });
    grid->setModel(model);
    grid->setItemDelegate(new ByteLimitDelegate(limits, grid));
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int i = 0; i < int(list.columns.size()); ++i) {
        grid->setColumnWidth(i, list.columns[i].width);
    }
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    layout->addWidget(grid);
    followCurrentRow(grid, rows);

    auto* buttons = new QHBoxLayout;
    QPushButton* made[3];
    for (int i = 0; i < 3; ++i) {
        made[i] = new QPushButton(kButtonCaptions[i], sheet);
        made[i]->setObjectName(QLatin1String(list.buttons[i]));
        made[i]->setAccessibleName(kButtonCaptions[i]);
        buttons->addWidget(made[i]);
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->addStretch();

    if (page == kPriorProjectsPage) {
        DBGrid1 = grid;
        priorModel_ = model;
        Button1 = made[0];
        Button5 = made[1];
        Button7 = made[2];
        lockRowList(grid, {Button1, Button5, Button7}, true);
    } else {
        DBGrid2 = grid;
        staffModel_ = model;
        Button8 = made[0];
        Button9 = made[1];
        Button10 = made[2];
        lockRowList(grid, {Button8, Button9, Button10}, false);
    }
    connect(&rows, &data::Dataset::rowsReset, this, &TInformationForm::updateDeleteButtons);
    connect(&rows, &data::Dataset::stateChanged, this, &TInformationForm::updateDeleteButtons);
    return sheet;
}

// The grid's current row and the list's current row follow each other.
void TInformationForm::followCurrentRow(QTableView* grid, data::Dataset& rows) {
    connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, &rows](const QModelIndex& current) {
                if (current.isValid() && current.row() != rows.currentRow()) {
                    context_.guard([&] { rows.moveTo(current.row()); });
                }
            });
    connect(&rows, &data::Dataset::currentChanged, grid, [this, grid, &rows] {
        if (gridsPaused_ == 0) {
            showCurrentRow(grid, rows);
        }
    });
}

void TInformationForm::showCurrentRow(QTableView* grid, data::Dataset& rows) {
    int row = rows.currentRow();
    QModelIndex current = grid->currentIndex();
    if (row >= 0 && row < grid->model()->rowCount() && current.row() != row) {
        grid->setCurrentIndex(grid->model()->index(row, current.isValid() ? current.column() : 0));
    }
}

void TInformationForm::lockRowList(QTableView* grid, std::initializer_list<QPushButton*> buttons,
                                   bool editable) {
    auto* model = static_cast<data::DatasetModel*>(grid->model());
    model->setReadOnly(!editable);
    grid->setEditTriggers(editable ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                         QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked
                                   : QAbstractItemView::NoEditTriggers);
    for (QPushButton* b : buttons) {
        b->setEnabled(editable);
    }
    updateDeleteButtons();
}

// A list's delete button is usable while its grid is editable and shows at least one row.
void TInformationForm::updateDeleteButtons() {
    if (Button7 && priorModel_) {
        Button7->setEnabled(!priorModel_->isReadOnly() && Button1->isEnabled() &&
                            ADOQuery2.recordCount() > 0);
    }
    if (Button10 && staffModel_) {
        Button10->setEnabled(!staffModel_->isReadOnly() && Button8->isEnabled() &&
                             ADOQuery3.recordCount() > 0);
    }
}

// ---- entry rules ----

void TInformationForm::TabSheet10Show() {
    enterRowListPage(DBGrid1, {Button1, Button5, Button7});
}

void TInformationForm::TabSheet12Show() {
    enterRowListPage(DBGrid2, {Button8, Button9, Button10});
}

// In new mode the page can be typed into only once the project is stored; in edit mode at once.
void TInformationForm::enterRowListPage(QTableView* grid, std::initializer_list<QPushButton*> buttons) {
    if (!isNewMode()) {
        lockRowList(grid, buttons, true);
        return;
    }
    QString missing = requiredFieldMessage(entryFrame());
    if (!missing.isEmpty()) {
        lockRowList(grid, buttons, false);
        context_.messages().beep();
        context_.messages().inform(missing);
        return;
    }
    try {
        SaveNewProject();
    } catch (const std::exception& e) {
        lockRowList(grid, buttons, false);
        context_.messages().beep();
        context_.messages().inform(errorText(e));
        if (ADOQuery1.state() != data::Dataset::State::Insert) {
            setModeButtons(false);  // stored, only showing it again failed
        }
        return;
    }
    lockRowList(grid, buttons, true);
    setModeButtons(false);
}

// ---- row buttons ----

void TInformationForm::SaveTable2() {
    emptyNullColumns(ADOQuery2, priorProjectDataColumns());
}

void TInformationForm::SaveTable3() {
    emptyNullColumns(ADOQuery3, staffDataColumns());
}

namespace {

// A row appended for typing and left untouched is dropped rather than stored empty.
void dropUntouchedRow(data::Dataset& rows) {
    if (rows.state() == data::Dataset::State::Insert && !rows.isModified()) {
        rows.cancel();
    }
}

// The current row gets the project's key and is stored (nothing when the list is empty).
void storeCurrentWithKey(data::Dataset& rows, const data::Dataset& project) {
    if (rows.isEmpty()) {
        return;
    }
    rows.edit();
    writeProjectKey(rows, project);
    rows.post();
}

}  // namespace

void TInformationForm::storePriorProjects(bool appendRow) {
    runSaved([this] {
        dropUntouchedRow(ADOQuery2);
        storeCurrentWithKey(ADOQuery2, ADOQuery1);
        restampPriorProjects(ADOQuery2, ADOQuery1);
    });
    if (appendRow) {
        ADOQuery2.append();
        DBGrid1->setFocus();
    }
}

void TInformationForm::storeStaff(bool appendRow) {
    runSaved([this] {
        dropUntouchedRow(ADOQuery3);
        storeCurrentWithKey(ADOQuery3, ADOQuery1);
        restampStaff(ADOQuery3, ADOQuery1);
    });
    if (appendRow) {
        ADOQuery3.append();
        DBGrid2->setFocus();
    }
}

void TInformationForm::Button1Click() {
    storePriorProjects(true);
}

void TInformationForm::Button5Click() {
    storePriorProjects(false);
}

void TInformationForm::Button7Click() {
    if (!ADOQuery2.isEmpty()) {
        ADOQuery2.remove();
    }
}

void TInformationForm::Button8Click() {
    storeStaff(true);
}

void TInformationForm::Button9Click() {
    storeStaff(false);
}

void TInformationForm::Button10Click() {
    if (!ADOQuery3.isEmpty()) {
        ADOQuery3.remove();
    }
}

}  // namespace meridell::record
