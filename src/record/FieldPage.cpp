// A field page of the record form, built from the field table.

#include "record/FieldPage.h"

#include "data/Schema.h"
#include "record/BoundControls.h"
#include "record/core/FieldTable.h"

#include <QComboBox>
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
constexpr Separator kSeparators[] = {{10, "Bevel1", {7, 0, 2}}};

bool isNumberColumn(const char* column) {
    const data::TableDef& t = data::table1();
    int index = t.indexOf(QLatin1String(column));
    return index >= 0 && t.columns[index].type == data::ColumnType::Number;
}

QLabel* colouredLabel(const QString& text, const char* colour, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setStyleSheet(QStringLiteral("color: %1;").arg(QLatin1String(colour)));
    label->setAccessibleName(QString(text).remove('\n'));
    return label;
}

QLabel* fieldLabel(const FieldSpec& field, QWidget* control, QWidget* parent) {
    auto* label = field.has(LabelAbove) ? colouredLabel(field.labelText(), "gray", parent)
                                        : new QLabel(field.labelText(), parent);
    label->setAccessibleName(field.accessibleName());
    label->setBuddy(control);
    label->setObjectName(QStringLiteral("Label_%1").arg(QLatin1String(field.control)));
    return label;
}

// The label, required mark, control and suffix of one field, left to right in its cell.
void fillCell(QBoxLayout* cell, const FieldSpec& field, QWidget* control, QWidget* page) {
    if (*field.label) {
        cell->addWidget(fieldLabel(field, control, page));
    }
    if (field.has(Required)) {
        cell->addWidget(colouredLabel(QStringLiteral("*"), "red", page));
    }
    cell->addWidget(control, 1);
    if (*field.suffix) {
        QLabel* suffix = new QLabel(field.suffixText(), page);
        suffix->setAccessibleName(field.accessibleName());
        if (!*field.label) {
            suffix->setBuddy(control);
        }
        cell->addWidget(suffix);
    }
}

}  // namespace

FieldPage::FieldPage(int page, BindingSet& bindings, QWidget* parent)
    : QWidget(parent), page_(page), bindings_(bindings) {
    auto* outer = new QVBoxLayout(this);
    const PageSpec& pageDef = pageTable()[page];
    if (*pageDef.notice) {
        outer->addWidget(colouredLabel(QString::fromUtf8(pageDef.notice), "red", this));
    }
    auto* grid = new QGridLayout;
    outer->addLayout(grid, 1);

    // Fields sharing a cell follow each other in one box; a memo lets its row take the height.
    std::map<std::pair<int, int>, QBoxLayout*> cells;
    QWidget* previous = nullptr;
    bool growing = false;
    for (const FieldSpec* field : fieldsOfPage(page)) {
        QWidget* control = createControl(*field);
        QBoxLayout*& cell = cells[{field->place.row, field->place.column}];
        if (!cell) {
            cell = field->has(LabelAbove) ? static_cast<QBoxLayout*>(new QVBoxLayout)
                                          : static_cast<QBoxLayout*>(new QHBoxLayout);
            grid->addLayout(cell, field->place.row, field->place.column, 1, field->place.span);
        }
        fillCell(cell, *field, control, this);
        if (field->kind == FieldKind::Memo) {
            grid->setRowStretch(field->place.row, 1);
            growing = true;
        }
        if (previous) {
            QWidget::setTabOrder(previous, control);
        }
        previous = control;
    }
    for (const Separator& s : kSeparators) {
        if (s.page == page) {
            auto* line = new QFrame(this);
            line->setObjectName(QLatin1String(s.name));
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            grid->addWidget(line, s.place.row, s.place.column, 1, s.place.span);
        }
    }
    if (!growing) {
        outer->addStretch();
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
    QFont font = memo->font();
    font.setPixelSize(14);
    memo->setFont(font);
    memo->setVerticalScrollBarPolicy(field.has(Scrolled) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    bindings_.bindMemo(memo, QLatin1String(field.column));
    return memo;
}

}  // namespace meridell::record
