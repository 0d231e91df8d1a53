#include "record/core/Navigation.h"

#include "record/core/FieldTable.h"

#include <Qt>

#include <array>

namespace meridell::record::nav {

namespace {

using namespace controls;  // the tables name their controls

constexpr const char* _ = nullptr;  // the key does nothing special

// Text fields: every key. Choice lists: Enter only.
constexpr Row field(int page, const char* control, const char* column, const char* enter, const char* up,
                    const char* down, const char* left, const char* right) {
    return {page, control, column, false, enter, up, down, left, right};
}
constexpr Row list(int page, const char* control, const char* column, const char* enter) {
    return {page, control, column, true, enter, _, _, _, _};
}

// clang-format off
constexpr std::array kTable = {
    // page, control, column, Enter, Up, Down, Left at start, Right at end
    field(0,  classCodeEdit,          "classcode",    "projectname",       _,                   "projectname",       _,              _),
    field(0,  projectNameEdit,        "projectname",  "takeunit1",         "classcode",         "takeunit1",         _,              _),
    field(0,  takeUnitEdit,           "takeunit1",    "unitaddress1",      "projectname",       "unitaddress1",      _,              _),
    field(0,  unitAddressEdit,        "unitaddress1", "projectman",        "takeunit1",         "projectman",        _,              _),
    field(0,  projectManEdit,         "projectman",   "telephone",         "unitaddress1",      "mailnum",           _,              "telephone"),
    field(0,  telephoneEdit,          "telephone",    "mailnum",           "unitaddress1",      "email",             "projectman",   _),
    field(0,  mailNumEdit,            "mailnum",      "email",             "projectman",        _,                   _,              "email"),
    field(0,  emailEdit,              "email",        "classcode",         "telephone",         _,                   "mailnum",      _),

    field(1,  summaryProjectNameEdit, "projectname",  "projectdomain",     _,                   "projectdomain",     _,              _),
    list(1, projectDomainCombo, "projectdomain", "code"),
    list(1, codeCombo, "code", "cost"),
    field(1,  costEdit,               "cost",         "yearstart",         "projectdomain",     "projectman",        _,              "yearstart"),
    list(1, startYearCombo, "yearstart", "monthstart"),
    list(1, startMonthCombo, "monthstart", "yearend"),
    list(1, endYearCombo, "yearend", "monthend"),
    list(1, endMonthCombo, "monthend", "projectman"),
    field(1,  summaryProjectManEdit,  "projectman",   "sex",               "cost",              "technicalstandard", _,              "sex"),
    list(1, sexCombo, "sex", "idcard"),
    field(1,  idcardEdit,             "idcard",       "technicalstandard", _,                   "degreecountry",     "sex",          _),
    list(1, technicalStandardCombo, "technicalstandard", "degree"),
    list(1, degreeCombo, "degree", "degreecountry"),
    list(1, degreeCountryCombo, "degreecountry", "takeunit1"),
    field(1,  summaryTakeUnitEdit,    "takeunit1",    "department",        "technicalstandard", "character",         _,              "department"),
    field(1,  departmentEdit,         "department",   "character",         _,                   "mailnum",           "takeunit1",    _),
    list(1, characterCombo, "character", "mailnum"),
    field(1,  summaryMailNumEdit,     "mailnum",      "director",          "department",        "telephone",         "character",    _),
    field(1,  directorEdit,           "director",     "telephone",         "character",         "unitaddress1",      _,              "telephone"),
    field(1,  summaryTelephoneEdit,   "telephone",    "unitaddress1",      "mailnum",           "unitaddress1",      "director",     _),
    field(1,  summaryUnitAddressEdit, "unitaddress1", "maincontent",       "director",          "maincontent",       _,              _),
    field(1,  secondTakeUnitEdit,     "takeunit2",    "unitaddress2",      "maincontent",       "takeunit3",         _,              "unitaddress2"),
    field(1,  secondUnitAddressEdit,  "unitaddress2", "takeunit3",         "maincontent",       "unitaddress3",      "takeunit2",    _),
    field(1,  thirdTakeUnitEdit,      "takeunit3",    "unitaddress3",      "takeunit2",         _,                   _,              "unitaddress3"),
    field(1,  thirdUnitAddressEdit,   "unitaddress3", "projectname",       "unitaddress2",      _,                   "takeunit3",    _),

    field(10, provinceFundEdit,       "provincefund", "deptfund",          _,                   "deptfund",          _,              "datacost"),
    field(10, deptFundEdit,           "deptfund",     "cityfund",          "provincefund",      "cityfund",          _,              "travalcost"),
    field(10, cityFundEdit,           "cityfund",     "otherfund",         "deptfund",          "otherfund",         _,              "softcost"),
    field(10, otherFundEdit,          "otherfund",    "totalfund",         "cityfund",          "totalfund",         _,              "printcost"),
    field(10, totalFundEdit,          "totalfund",    "datacost",          "otherfund",         "remark",            _,              "totalcost"),
    field(10, dataCostEdit,           "datacost",     "travalcost",        _,                   "travalcost",        "provincefund", _),
    field(10, travelCostEdit,         "travalcost",   "softcost",          "datacost",          "softcost",          "deptfund",     _),
    field(10, softCostEdit,           "softcost",     "printcost",         "travalcost",        "printcost",         "cityfund",     _),
    field(10, printCostEdit,          "printcost",    "checkcost",         "softcost",          "checkcost",         "otherfund",    _),
    field(10, checkCostEdit,          "checkcost",    "managecost",        "printcost",         "managecost",        _,              _),
    field(10, manageCostEdit,         "managecost",   "othercost",         "checkcost",         "othercost",         _,              _),
    field(10, otherCostEdit,          "othercost",    "totalcost",         "managecost",        "totalcost",         _,              _),
    field(10, totalCostEdit,          "totalcost",    "remark",            "othercost",         "remark",            "totalfund",    _),
};
// clang-format on

// The memos that the table leads into: page, column, control.
struct Memo {
    int page;
    const char* column;
    const char* control;
};
constexpr Memo kMemoTargets[] = {{1, "maincontent", mainContentMemo}, {10, "remark", remarkMemo}};

const char* targetColumn(const Row& row, Key key, const Caret& caret) {
    if (row.choiceList && key != Key::Enter) {
        return nullptr;
    }
    switch (key) {
        case Key::Enter:
            return row.enter;
        case Key::Up:
            return row.up;
        case Key::Down:
            return row.down;
        case Key::Left:
            return caret.position == 0 && !caret.hasSelection ? row.leftAtStart : nullptr;
        case Key::Right:
            return caret.position == caret.length ? row.rightAtEnd : nullptr;
    }
    return nullptr;
}

}  // namespace

std::span<const Row> table() {
    return kTable;
}

const Row* rowOf(const QString& control) {
    for (const Row& row : kTable) {
        if (control == QLatin1String(row.control)) {
            return &row;
        }
    }
    return nullptr;
}

QString controlOf(int page, const QString& column) {
    for (const Row& row : kTable) {
        if (row.page == page && column == QLatin1String(row.column)) {
            return QString::fromLatin1(row.control);
        }
    }
    for (const Memo& memo : kMemoTargets) {
        if (memo.page == page && column == QLatin1String(memo.column)) {
            return QString::fromLatin1(memo.control);
        }
    }
    return {};
}

std::optional<Key> keyOf(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return Key::Enter;
        case Qt::Key_Up:
            return Key::Up;
        case Qt::Key_Down:
            return Key::Down;
        case Qt::Key_Left:
            return Key::Left;
        case Qt::Key_Right:
            return Key::Right;
        default:
            return std::nullopt;
    }
}

QString focusTarget(const QString& control, Key key, const Caret& caret) {
    const Row* row = rowOf(control);
    if (row == nullptr) {
        return {};
    }
    const char* column = targetColumn(*row, key, caret);
    return column == nullptr ? QString() : controlOf(row->page, QString::fromLatin1(column));
}

}  // namespace meridell::record::nav
