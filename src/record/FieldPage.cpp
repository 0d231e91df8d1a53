// A field page of the record form, built from the field table.

#include "record/FieldPage.h"

#include "common/core/Fonts.h"
#include "data/Schema.h"
#include "record/BoundControls.h"
#include "record/core/FieldTable.h"
#include "record/core/OrdinaryValues.h"
#include "ui/Fitting.h"
#include "ui/TextColour.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <map>

namespace meridell::record {

namespace {

// A sunken line between two parts of a page: on the budget page, between the figures and the two
// totals.
struct Separator {
    int page;
    const char* name;
    FieldPlace place;
};
constexpr Separator kSeparators[] = {{10, "totalsSeparator", {7, 0, 2}}};

bool isNumberColumn(const char* column) {
    const data::TableDef& t = data::table1();
    int index = t.indexOf(QLatin1String(column));
    return index >= 0 && t.columns[index].type == data::ColumnType::Number;
}

QLabel* colouredLabel(const QString& text, Qt::GlobalColor colour, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    ui::setTextColour(label, colour);
    label->setAccessibleName(QString(text).remove('\n'));
    return label;
}

QLabel* fieldLabel(const FieldSpec& field, QWidget* control, QWidget* parent) {
    auto* label = field.has(LabelAbove) ? colouredLabel(field.labelText(), Qt::gray, parent)
                                        : new QLabel(field.labelText(), parent);
    label->setAccessibleName(field.accessibleName());
    label->setBuddy(control);
    label->setObjectName(QLatin1String(field.control) + QStringLiteral("Label"));
    return label;
}

// The label of a field and its red "*" when it is required, for the label column of its cell. The
// labels stay children of the page beside their controls, so that each control is announced by
// its label.
QBoxLayout* labelCell(const FieldSpec& field, QWidget* control, QWidget* page) {
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    row->addWidget(fieldLabel(field, control, page));
    if (field.has(Required)) {
        row->addWidget(colouredLabel(QStringLiteral("*"), Qt::red, page));
    }
    row->addStretch();
    return row;
}

// The control and suffix of one field (and the label of a second field in the same cell), left to
// right in its cell.
void fillCell(QBoxLayout* cell, const FieldSpec& field, QWidget* control, QWidget* page, bool labelled) {
    if (*field.label && !labelled) {
        cell->addWidget(fieldLabel(field, control, page));
    }
    // Text boxes fill their column; lists keep the width of their entries.
    cell->addWidget(control, field.kind == FieldKind::Edit || field.kind == FieldKind::Memo ? 1 : 0);
    if (*field.suffix) {
        QLabel* suffix = new QLabel(field.suffixText(), page);
        suffix->setAccessibleName(field.accessibleName());
        if (!*field.label) {
            suffix->setBuddy(control);
        }
        cell->addWidget(suffix);
    }
}

// Each cell of the field table takes two grid columns: its label, then its boxes, so that the boxes
// of one column share their left edge whatever their labels.
int labelColumn(const FieldPlace& place) {
    return 2 * place.column;
}

}  // namespace

FieldPage::FieldPage(int page, BindingSet& bindings, QWidget* parent)
    : QWidget(parent), page_(page), bindings_(bindings) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(3, 6, 3, 6);
    const PageSpec& pageDef = pageTable()[page];
    if (*pageDef.notice) {
        outer->addWidget(colouredLabel(QString::fromUtf8(pageDef.notice), Qt::red, this));
    }
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(3);
    grid->setVerticalSpacing(3);
    outer->addLayout(grid, 1);
    placeFields(grid);
    for (const Separator& s : kSeparators) {
        if (s.page == page) {
            auto* line = new QFrame(this);
            line->setObjectName(QLatin1String(s.name));
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            grid->addWidget(line, s.place.row, labelColumn(s.place), 1, 2 * s.place.span);
        }
    }
    if (!growing_) {
        outer->addStretch();
    }
    fitControls();
}

// Fields sharing a cell follow each other in one box; a memo lets its row take the height.
void FieldPage::placeFields(QGridLayout* grid) {
    std::map<std::pair<int, int>, QBoxLayout*> cells;
    QWidget* previous = nullptr;
    int columns = 1;
    for (const FieldSpec* field : fieldsOfPage(page_)) {
        QWidget* control = createControl(*field);
        const FieldPlace& at = field->place;
        QBoxLayout*& cell = cells[{at.row, at.column}];
        const bool first = cell == nullptr;
        if (first && field->has(LabelAbove)) {
            cell = new QVBoxLayout;
            grid->addLayout(cell, at.row, labelColumn(at), 1, 2 * at.span);
        } else if (first) {
            cell = new QHBoxLayout;
            cell->setSpacing(0);
            if (*field->label) {
                grid->addLayout(labelCell(*field, control, this), at.row, labelColumn(at),
                                field->kind == FieldKind::Memo ? Qt::AlignTop : Qt::Alignment());
            }
            grid->addLayout(cell, at.row, labelColumn(at) + 1, 1, 2 * at.span - 1);
        }
        fillCell(cell, *field, control, this, first && !field->has(LabelAbove));
        columns = std::max(columns, at.column + at.span);
        if (field->kind == FieldKind::Memo) {
            grid->setRowStretch(at.row, 1);
            growing_ = true;
        }
        if (previous) {
            QWidget::setTabOrder(previous, control);
        }
        previous = control;
    }
    for (auto& [place, cell] : cells) {
        if (cell->direction() == QBoxLayout::LeftToRight) {
            cell->addStretch();
        }
    }
    for (int c = 0; c < columns; ++c) {
        grid->setColumnStretch(2 * c + 1, 1);
    }
}

// Every box is at least as wide as its longest ordinary value needs in the page's font.
void FieldPage::fitControls() {
    for (const FieldSpec* field : fieldsOfPage(page_)) {
        QWidget* control = controls_.value(QLatin1String(field->control));
        int width = 0;
        for (const QString& value : ordinaryValuesOf(*field)) {
            if (auto* edit = qobject_cast<QLineEdit*>(control)) {
                width = std::max(width, ui::widthToShow(edit, value));
            } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
                width = std::max(width, ui::widthToShow(combo, value));
            }
        }
        if (width > 0) {
            control->setMinimumWidth(width);
        }
    }
}

void FieldPage::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        fitControls();
    }
}

QWidget* FieldPage::createControl(const FieldSpec& field) {
    QWidget* control = nullptr;
    switch (field.kind) {
        case FieldKind::Edit:
            control = createLineEdit(field);
            break;
        case FieldKind::Choice:
        case FieldKind::EditableChoice:
            control = createList(field);
            break;
        case FieldKind::Memo:
            control = createMemo(field);
            break;
    }
    control->setObjectName(QLatin1String(field.control));
    control->setAccessibleName(field.accessibleName());
    control->setEnabled(!field.has(Disabled));
    controls_.insert(QLatin1String(field.control), control);
    return control;
}

QWidget* FieldPage::createLineEdit(const FieldSpec& field) {
    auto* edit = new QLineEdit(this);
    if (int limit = byteLimitOf(field); limit > 0) {
        edit->setValidator(new ByteLimitValidator(limit, edit));
    }
    bindings_.bindLineEdit(edit, QLatin1String(field.column), isNumberColumn(field.column));
    return edit;
}

QWidget* FieldPage::createList(const FieldSpec& field) {
    auto* combo = new QComboBox(this);
    ChoiceList choices = choicesOf(QLatin1String(field.control));
    combo->addItems(choices.entries);
    if (choices.visible > 0) {
        combo->setMaxVisibleItems(choices.visible);
    }
    if (field.kind == FieldKind::EditableChoice) {
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        if (int limit = byteLimitOf(field); limit > 0) {
            combo->setValidator(new ByteLimitValidator(limit, combo));
        }
    }
    combo->setCurrentIndex(-1);
    bindings_.bindComboBox(combo, QLatin1String(field.column));
    return combo;
}

QWidget* FieldPage::createMemo(const FieldSpec& field) {
    auto* memo = new LimitedMemo(byteLimitOf(field), this);
    memo->setFont(pixelFont(QStringLiteral("宋体"), 14));
    memo->setVerticalScrollBarPolicy(field.has(Scrolled) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    bindings_.bindMemo(memo, QLatin1String(field.column));
    return memo;
}

}  // namespace meridell::record
