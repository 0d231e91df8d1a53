#include "record/YearLists.h"

#include "data/Dataset.h"
#include "record/core/ProjectYears.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace meridell::record {

namespace {

constexpr const char* kYearColumns[] = {"yearstart", "yearend"};

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

YearLists::YearLists(QComboBox* startYear, QComboBox* endYear, data::Dataset& project,
                     std::function<QDate()> today, QObject* parent)
    : QObject(parent), lists_{startYear, endYear}, project_(project), today_(std::move(today)) {
    fill();
    // Connected after the bound controls: a row shown with a year outside the lists gets it added.
    connect(&project_, &data::Dataset::currentChanged, this, [this] { fill(); });
    connect(&project_, &data::Dataset::fieldChanged, this, [this](int field) {
        const QString column = project_.fieldNames().value(field);
        for (const char* year : kYearColumns) {
            if (column.compare(QLatin1String(year), Qt::CaseInsensitive) == 0) {
                fill();
                return;
            }
        }
    });
}

void YearLists::fill() {
    QStringList stored;
    for (const char* column : kYearColumns) {
        stored << storedText(project_, column);
    }
    const QStringList entries = yearChoices(today_(), stored);
    for (int i = 0; i < 2; ++i) {
        QComboBox* list = lists_[i];
        if (entriesOf(list) == entries) {
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

}  // namespace meridell::record
