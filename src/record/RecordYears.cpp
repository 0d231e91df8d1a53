// The start and end year lists of the record form: the years from 2003 to five years after today's,
// and the years the shown project holds even when they lie outside that range.

#include "record/RecordForm.h"
#include "record/core/ProjectYears.h"
#include "ui/Shell.h"

#include <QSignalBlocker>

namespace meridell::record {

namespace {

constexpr const char* kYearColumns[] = {"yearstart", "yearend"};
constexpr const char* kYearLists[] = {controls::startYearCombo, controls::endYearCombo};

// The current row's text of `column`; empty when the query holds no row.
QString storedText(const data::Dataset& project, const char* column) {
    if (!project.isOpen()) {
        return {};
    }
    const int field = project.fieldIndex(QLatin1String(column));
    return field < 0 ? QString() : project.valueAt(project.currentRow(), field).toString();
}

QStringList entriesOf(const QComboBox* list) {
    QStringList entries;
    for (int i = 0; i < list->count(); ++i) {
        entries << list->itemText(i);
    }
    return entries;
}

}  // namespace

void RecordForm::fillYearLists() {
    QStringList stored;
    for (const char* column : kYearColumns) {
        stored << storedText(projectQuery, column);
    }
    const QStringList entries = yearChoices(context_.today(), stored);
    for (int i = 0; i < 2; ++i) {
        auto* list = controlAs<QComboBox>(QLatin1String(kYearLists[i]));
        if (list == nullptr || entriesOf(list) == entries) {
            continue;
        }
        // Refilling a list is no choice: the row keeps its value and the list shows it again. A
        // list showing a year the row does not know yet (the preset start year) keeps showing it.
        const QString shown = list->currentText();
        QSignalBlocker quiet(list);
        list->clear();
        list->addItems(entries);
        const QString value = stored[i].isEmpty() ? shown : stored[i];
        list->setCurrentIndex(value.isEmpty() ? -1 : int(entries.indexOf(value)));
    }
}

void RecordForm::installYearLists() {
    fillYearLists();
    // Connected after the bound controls: a row shown with a year outside the lists gets it added.
    connect(&projectQuery, &data::Dataset::currentChanged, this, [this] { fillYearLists(); });
    connect(&projectQuery, &data::Dataset::fieldChanged, this, [this](int field) {
        const QString column = projectQuery.fieldNames().value(field);
        for (const char* year : kYearColumns) {
            if (column.compare(QLatin1String(year), Qt::CaseInsensitive) == 0) {
                fillYearLists();
                return;
            }
        }
    });
}

}  // namespace meridell::record
