// One row list of the record form: the prior projects (table2) or the research staff (table3).

#include "record/RowListPage.h"

#include "data/DatasetModel.h"
#include "data/Schema.h"
#include "record/BoundControls.h"
#include "record/FieldEvents.h"
#include "record/core/FieldTable.h"
#include "record/core/InputRules.h"
#include "record/core/OrdinaryValues.h"
#include "record/core/RowListLayout.h"
#include "record/core/SaveRules.h"
#include "ui/Buttons.h"
#include "ui/FileDrops.h"
#include "ui/Fitting.h"
#include "ui/TextColour.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

namespace meridell::record {

namespace {

constexpr int kGridWidth = 569;

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

RowListPage::RowListPage(const RowListLayout& listLayout, data::Dataset& rows, const data::Dataset& project,
                         Runner runSaved, Runner guard, QWidget* parent)
    : QWidget(parent),
      listLayout_(listLayout),
      rows_(rows),
      project_(project),
      runSaved_(std::move(runSaved)),
      guard_(std::move(guard)) {
    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel(listLayout_.hint, this);
    hint->setObjectName("Hint");
    ui::setTextColour(hint, Qt::gray);
    hint->setAccessibleName(listLayout_.hint);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    buildGrid();
    hint->setBuddy(grid_);
    layout->addWidget(grid_, 1);
    followCurrentRow();
    buildButtons(layout);
    connect(&rows_, &data::Dataset::rowsReset, this, &RowListPage::updateDeleteButton);
    connect(&rows_, &data::Dataset::stateChanged, this, &RowListPage::updateDeleteButton);
}

void RowListPage::buildGrid() {
    grid_ = new QTableView(this);
    grid_->setObjectName(QLatin1String(listLayout_.grid));
    grid_->setAccessibleName(QString::fromUtf8(pageTable()[listLayout_.page].caption));
    // At least as wide as designed; it fills the page as the page grows, and its columns follow.
    grid_->setMinimumWidth(kGridWidth);
    grid_->installEventFilter(this);
    std::vector<data::DatasetModel::GridColumn> columns;
    for (const GridColumn& c : listLayout_.columns) {
        columns.push_back({QString::fromUtf8(c.title), QLatin1String(c.column), c.width});
    }
    model_ = new data::DatasetModel(&rows_, columns, grid_);
    model_->setGuard(guard_);
    grid_->setModel(model_);
    auto* delegate = new ByteLimitDelegate(gridByteLimits(listLayout_), grid_);
    delegate->setEditorSetup([this](QLineEdit* editor, int column) { setUpEditor(editor, column); });
    grid_->setItemDelegate(delegate);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->verticalHeader()->setFixedWidth(12);  // a narrow marker of the current row
    fitColumns();
    // Rows read or typed may want other widths once the grid is wider than designed.
    connect(model_, &QAbstractItemModel::modelReset, this, &RowListPage::fitColumns);
    connect(model_, &QAbstractItemModel::dataChanged, this, &RowListPage::fitColumns);
}

// The columns share the grid's width: each shows its title and its longest ordinary value whole;
// room beyond the designed widths goes first to the columns whose values they cut.
void RowListPage::fitColumns() {
    std::span<const OrdinaryColumn> ordinary =
        listLayout_.page == kStaffPage ? ordinaryStaffColumns() : ordinaryPriorColumns();
    std::vector<int> preferred;
    std::vector<int> least;
    for (std::size_t i = 0; i < listLayout_.columns.size(); ++i) {
        preferred.push_back(listLayout_.columns[i].width);
        int width = ui::cellWidthToShow(grid_, QString::fromUtf8(listLayout_.columns[i].title));
        if (i < ordinary.size()) {
            width = std::max(width, ui::cellWidthToShow(grid_, QString::fromUtf8(ordinary[i].value)));
        }
        least.push_back(width);
    }
    ui::fitGridColumns(grid_, preferred, least);
}

bool RowListPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_ && event->type() == QEvent::Resize) {
        fitColumns();
    }
    return QWidget::eventFilter(watched, event);
}

void RowListPage::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        fitColumns();
    }
}

// An identity-card cell takes what the project leader's field takes: digits, and X (a typed x
// made X) as the eighteenth character. Every cell then refuses files dragged onto it as the fields
// do, ahead of its other handlers.
void RowListPage::setUpEditor(QLineEdit* editor, int column) {
    if (column >= 0 && column < int(listLayout_.columns.size()) &&
        qstrcmp(listLayout_.columns[column].column, "idcard") == 0) {
        new TypedTextHandler(
            editor, QStringLiteral("idcardKeyPressed"),
            [editor](char16_t& key) {
                if (key == 13 || key == 27) {
                    return;  // Enter and Escape end the editing as in every cell
                }
                key = idcardTyped(editor, key);
            },
            [](const QString& text, int caret, const QString& inserted) {
                return rules::idcardInsertion(text, caret, inserted).text;
            });
    }
    ui::refuseFileDrops(editor);
}

void RowListPage::buildButtons(QVBoxLayout* layout) {
    auto* row = new QHBoxLayout;
    const std::function<void()> actions[3] = {[this] { storeRows(true); }, [this] { storeRows(false); },
                                              [this] { removeCurrentRow(); }};
    for (int i = 0; i < 3; ++i) {
        buttons_[i] =
            ui::namedButton(this, listLayout_.buttons[i], rowButtonCaptions()[i], guard_, actions[i]);
        row->addWidget(buttons_[i]);
    }
    row->addStretch();
    layout->addLayout(row);
}

// The grid's current row and the list's current row follow each other.
void RowListPage::followCurrentRow() {
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && current.row() != rows_.currentRow()) {
                    guard_([&] { rows_.moveTo(current.row()); });
                }
            });
    connect(&rows_, &data::Dataset::currentChanged, grid_, [this] {
        if (paused_ == 0) {
            showCurrentRow();
        }
    });
}

void RowListPage::showCurrentRow() {
    int row = rows_.currentRow();
    QModelIndex current = grid_->currentIndex();
    if (row >= 0 && row < model_->rowCount() && current.row() != row) {
        grid_->setCurrentIndex(model_->index(row, current.isValid() ? current.column() : 0));
    }
}

RowListPage::Pause::~Pause() {
    if (--page_.paused_ == 0) {
        page_.showCurrentRow();
    }
}

void RowListPage::setEditable(bool editable) {
    model_->setReadOnly(!editable);
    grid_->setEditTriggers(editable
                               ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                     QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked
                               : QAbstractItemView::NoEditTriggers);
    for (QPushButton* b : buttons_) {
        b->setEnabled(editable);
    }
    updateDeleteButton();
}

bool RowListPage::isEditable() const {
    return !model_->isReadOnly();
}

// The delete button is usable while the grid is editable and shows at least one row.
void RowListPage::updateDeleteButton() {
    deleteButton()->setEnabled(isEditable() && newButton()->isEnabled() && rows_.recordCount() > 0);
}

void RowListPage::storeRows(bool appendRow) {
    runSaved_([this] {
        dropUntouchedRow(rows_);
        storeCurrentWithKey(rows_, project_);
        listLayout_.restamp(rows_, project_);
    });
    if (appendRow) {
        rows_.append();
        grid_->setFocus();
    }
}

void RowListPage::removeCurrentRow() {
    if (!rows_.isEmpty()) {
        rows_.remove();
    }
}

}  // namespace meridell::record
