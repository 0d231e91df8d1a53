#pragma once

#include "data/Choices.h"

#include <QString>
#include <QStringList>

#include <span>
#include <vector>

namespace meridell::record {

// The record form described as data: its thirteen pages, every bound field with its label, column,
// control name, kind, byte limit and place, the choice lists and the columns of the two row grids.
// The form's widgets are built from these tables; tests and rules read them too.

// The names of the form's controls: each bound control's objectName and how the tables, the rules
// and the tests pick a field, so that a misspelt name does not compile.
namespace controls {
// Page 0, basic data.
inline constexpr char registerNumEdit[] = "registerNumEdit";
inline constexpr char serialNumEdit[] = "serialNumEdit";
inline constexpr char classCodeEdit[] = "classCodeEdit";
inline constexpr char projectNameEdit[] = "projectNameEdit";
inline constexpr char takeUnitEdit[] = "takeUnitEdit";
inline constexpr char unitAddressEdit[] = "unitAddressEdit";
inline constexpr char projectManEdit[] = "projectManEdit";
inline constexpr char telephoneEdit[] = "telephoneEdit";
inline constexpr char mailNumEdit[] = "mailNumEdit";
inline constexpr char emailEdit[] = "emailEdit";
// Page 1, the summary sheet. Fields that repeat one of page 0 are its summary copies.
inline constexpr char summaryProjectNameEdit[] = "summaryProjectNameEdit";
inline constexpr char projectDomainCombo[] = "projectDomainCombo";
inline constexpr char codeCombo[] = "codeCombo";
inline constexpr char costEdit[] = "costEdit";
inline constexpr char startYearCombo[] = "startYearCombo";
inline constexpr char startMonthCombo[] = "startMonthCombo";
inline constexpr char endYearCombo[] = "endYearCombo";
inline constexpr char endMonthCombo[] = "endMonthCombo";
inline constexpr char summaryProjectManEdit[] = "summaryProjectManEdit";
inline constexpr char sexCombo[] = "sexCombo";
inline constexpr char idcardEdit[] = "idcardEdit";
inline constexpr char technicalStandardCombo[] = "technicalStandardCombo";
inline constexpr char degreeCombo[] = "degreeCombo";
inline constexpr char degreeCountryCombo[] = "degreeCountryCombo";
inline constexpr char summaryTakeUnitEdit[] = "summaryTakeUnitEdit";
inline constexpr char departmentEdit[] = "departmentEdit";
inline constexpr char characterCombo[] = "characterCombo";
inline constexpr char summaryMailNumEdit[] = "summaryMailNumEdit";
inline constexpr char directorEdit[] = "directorEdit";
inline constexpr char summaryTelephoneEdit[] = "summaryTelephoneEdit";
inline constexpr char summaryUnitAddressEdit[] = "summaryUnitAddressEdit";
inline constexpr char mainContentMemo[] = "mainContentMemo";
inline constexpr char secondTakeUnitEdit[] = "secondTakeUnitEdit";
inline constexpr char secondUnitAddressEdit[] = "secondUnitAddressEdit";
inline constexpr char thirdTakeUnitEdit[] = "thirdTakeUnitEdit";
inline constexpr char thirdUnitAddressEdit[] = "thirdUnitAddressEdit";
// Pages 2 to 8, one memo each.
inline constexpr char projectBaseMemo[] = "projectBaseMemo";
inline constexpr char projectContentMemo[] = "projectContentMemo";
inline constexpr char projectMethodMemo[] = "projectMethodMemo";
inline constexpr char projectPlanMemo[] = "projectPlanMemo";
inline constexpr char projectResultMemo[] = "projectResultMemo";
inline constexpr char projectConditionMemo[] = "projectConditionMemo";
inline constexpr char workDivideMemo[] = "workDivideMemo";
// Page 10, funding and costs.
inline constexpr char provinceFundEdit[] = "provinceFundEdit";
inline constexpr char deptFundEdit[] = "deptFundEdit";
inline constexpr char cityFundEdit[] = "cityFundEdit";
inline constexpr char otherFundEdit[] = "otherFundEdit";
inline constexpr char totalFundEdit[] = "totalFundEdit";
inline constexpr char dataCostEdit[] = "dataCostEdit";
inline constexpr char travelCostEdit[] = "travelCostEdit";
inline constexpr char softCostEdit[] = "softCostEdit";
inline constexpr char printCostEdit[] = "printCostEdit";
inline constexpr char checkCostEdit[] = "checkCostEdit";
inline constexpr char manageCostEdit[] = "manageCostEdit";
inline constexpr char otherCostEdit[] = "otherCostEdit";
inline constexpr char totalCostEdit[] = "totalCostEdit";
inline constexpr char remarkMemo[] = "remarkMemo";
// Page 12, the two opinions.
inline constexpr char unitPointMemo[] = "unitPointMemo";
inline constexpr char directorPointMemo[] = "directorPointMemo";
// The grids of the two row lists, pages 9 and 11.
inline constexpr char priorProjectsGrid[] = "priorProjectsGrid";
inline constexpr char staffGrid[] = "staffGrid";
}  // namespace controls

enum class FieldKind {
    Edit,            // single-line text or number field
    Choice,          // drop-down list without typing
    EditableChoice,  // drop-down list whose text can also be typed
    Memo,            // multi-line text
};

enum FieldFlag : unsigned {
    NoFlags = 0,
    Required = 1u << 0,    // marked with a red "*": saving requires it
    Disabled = 1u << 1,    // shows its value only
    LabelAbove = 1u << 2,  // the label is a line above the field (text pages)
    Scrolled = 1u << 3,    // memo with a vertical scroll bar
};

// Where a field sits on its page: a cell of the page's grid (row, column, spanning `span` columns).
// Several fields may share a cell; they follow each other from left to right.
struct FieldPlace {
    int row;
    int column;
    int span;
};

struct FieldSpec {
    int page;             // 0..12
    const char* label;    // visible label before (or above) the field; lines separated by "\n"
    const char* column;   // column of table1
    const char* control;  // control name
    FieldKind kind;
    int limit;  // most GB2312 bytes accepted; 0: the column's size; -1: no text limit (numbers, lists)
    FieldPlace place;
    unsigned flags = NoFlags;
    const char* suffix = "";      // visible text after the field ("年", "月")
    const char* accessible = "";  // accessible name when the label alone does not name the field

    QString labelText() const { return QString::fromUtf8(label); }
    QString suffixText() const { return QString::fromUtf8(suffix); }
    // The field's accessible name: the explicit one, or the label on one line.
    QString accessibleName() const;
    bool has(FieldFlag flag) const { return (flags & flag) != 0; }
};

struct PageSpec {
    const char* name;      // the page's objectName, after its content
    const char* caption;   // tab caption
    const char* treeText;  // text of the page tree's node
    const char* notice;    // red line at the top of the page, or ""
};

// Every bound field of the thirteen pages, page by page, each page in its tab order.
std::span<const FieldSpec> fieldTable();
// The thirteen pages in index order.
std::span<const PageSpec> pageTable();
// The field of a control name, or nullptr.
const FieldSpec* fieldOfControl(const QString& control);
// The fields of one page in tab order.
std::vector<const FieldSpec*> fieldsOfPage(int page);
// Most GB2312 bytes the field accepts (the column's size for a single-line text), -1 for none.
int byteLimitOf(const FieldSpec& field);

// Entries of a control's drop-down list: those of its column.
using ChoiceList = data::ChoiceList;
ChoiceList choicesOf(const QString& control);

// Page indexes of the two row lists.
inline constexpr int kPriorProjectsPage = 9;
inline constexpr int kStaffPage = 11;

// A column of one of the two row grids.
struct GridColumn {
    const char* title;
    const char* column;
    int width;  // pixels
};
std::span<const GridColumn> priorProjectColumns();  // page 9, table2
std::span<const GridColumn> staffColumns();         // page 11, table3

// Texts of the form's fixed lines.
QString treeHeading();        // red line over the page tree
QStringList leftNote();       // grey note under the page tree, four lines
QString priorProjectsHint();  // grey line over the grid of page 9
QString staffHint();          // grey line over the grid of page 11

}  // namespace meridell::record
