// Building the thirteen pages of the record form from the field table.

#include "data/Schema.h"
#include "record/BoundControls.h"
#include "record/InformationUnit.h"
#include "record/core/FieldTable.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <map>

namespace meridell::record {

namespace {

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

}  // namespace

void TInformationForm::buildPages() {
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setAccessibleName(QStringLiteral("项目资料"));
    int index = 0;
    for (const PageSpec& page : pageTable()) {
        QWidget* sheet = (index == kPriorProjectsPage || index == kStaffPage) ? buildRowListPage(index)
                                                                              : buildFieldPage(index);
        sheet->setObjectName(QLatin1String(page.sheet));
        sheet->setAccessibleName(QString::fromUtf8(page.caption));
        PageControl1->addTab(sheet, QString::fromUtf8(page.caption));
        ++index;
    }
    DBComboBox7 = controlAs<QComboBox>("DBComboBox7");
    // The form keeps its page between openings; the first opening in edit mode shows the staff page.
    switchingPage_ = true;
    PageControl1->setCurrentIndex(kStaffPage);
    switchingPage_ = false;
}

QWidget* TInformationForm::buildFieldPage(int page) {
    auto* sheet = new QWidget;
    auto* outer = new QVBoxLayout(sheet);
    const PageSpec& pageDef = pageTable()[page];
    if (*pageDef.notice) {
        outer->addWidget(colouredLabel(QString::fromUtf8(pageDef.notice), "red", sheet));
    }
    auto* grid = new QGridLayout;
    outer->addLayout(grid, 1);

    std::map<std::pair<int, int>, QBoxLayout*> cells;
    QWidget* previous = nullptr;
    bool growing = false;
    for (const FieldSpec* field : fieldsOfPage(page)) {
        QWidget* control = createControl(*field, sheet);
        auto key = std::make_pair(field->place.row, field->place.column);
        QBoxLayout*& cell = cells[key];
        if (!cell) {
            cell = field->has(LabelAbove) ? static_cast<QBoxLayout*>(new QVBoxLayout)
                                          : static_cast<QBoxLayout*>(new QHBoxLayout);
            grid->addLayout(cell, field->place.row, field->place.column, 1, field->place.span);
        }
        if (*field->label) {
            cell->addWidget(fieldLabel(*field, control, sheet));
        }
        if (field->has(Required)) {
            cell->addWidget(colouredLabel(QStringLiteral("*"), "red", sheet));
        }
        bool memo = field->kind == FieldKind::Memo;
        cell->addWidget(control, 1);
        if (*field->suffix) {
            QLabel* suffix = new QLabel(field->suffixText(), sheet);
            suffix->setAccessibleName(field->accessibleName());
            if (!*field->label) {
                suffix->setBuddy(control);
            }
            cell->addWidget(suffix);
        }
        if (memo) {
            grid->setRowStretch(field->place.row, 1);
            growing = true;
        }
        if (previous) {
            QWidget::setTabOrder(previous, control);
        }
        previous = control;
    }
    if (page == 10) {
        // The separator between the figures and the two totals.
        auto* line = new QFrame(sheet);
        line->setObjectName("Bevel1");
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        grid->addWidget(line, 7, 0, 1, 2);
    }
    if (!growing) {
        outer->addStretch();
    }
    return sheet;
}

QWidget* TInformationForm::createControl(const FieldSpec& field, QWidget* parent) {
    QWidget* control = nullptr;
    QString column = QLatin1String(field.column);
    int limit = byteLimitOf(field);
    switch (field.kind) {
        case FieldKind::Edit: {
            auto* edit = new QLineEdit(parent);
            if (limit > 0) {
                edit->setValidator(new ByteLimitValidator(limit, edit));
            }
            bindings_->bindLineEdit(edit, column, isNumberColumn(field.column));
            control = edit;
            break;
        }
        case FieldKind::Choice:
        case FieldKind::EditableChoice: {
            auto* combo = new QComboBox(parent);
            ChoiceList choices = choicesOf(QLatin1String(field.control));
            combo->addItems(choices.entries);
            if (choices.visible > 0) {
                combo->setMaxVisibleItems(choices.visible);
            }
            if (field.kind == FieldKind::EditableChoice) {
                combo->setEditable(true);
                combo->setInsertPolicy(QComboBox::NoInsert);
                if (limit > 0) {
                    combo->setValidator(new ByteLimitValidator(limit, combo));
                }
            }
            combo->setCurrentIndex(-1);
            bindings_->bindComboBox(combo, column);
            control = combo;
            break;
        }
        case FieldKind::Memo: {
            auto* memo = new LimitedMemo(limit, parent);
            QFont font = memo->font();
            font.setPixelSize(14);
            memo->setFont(font);
            memo->setVerticalScrollBarPolicy(field.has(Scrolled) ? Qt::ScrollBarAlwaysOn
                                                                 : Qt::ScrollBarAsNeeded);
            bindings_->bindMemo(memo, column);
            control = memo;
            break;
        }
    }
    control->setObjectName(QLatin1String(field.control));
    control->setAccessibleName(field.accessibleName());
    control->setEnabled(!field.has(Disabled));
    controls_.insert(QLatin1String(field.control), control);
    return control;
}

}  // namespace meridell::record
