#pragma once

#include <QDate>
#include <QObject>

#include <functional>

class QComboBox;

namespace meridell::data {
class Dataset;
}

namespace meridell::record {

// The start and end year lists of the record form: the years from 2003 to five years after today's,
// and the years the shown project holds even when they lie outside that range. The lists are
// refilled whenever another row or another year is shown.
class YearLists : public QObject {
    Q_OBJECT
public:
    // Follows the current row of `project`; `today` tells the date the range ends after.
    YearLists(QComboBox* startYear, QComboBox* endYear, data::Dataset& project, std::function<QDate()> today,
              QObject* parent = nullptr);

    // Refills both lists when their entries have changed; the shown values stay.
    void fill();

private:
    QComboBox* lists_[2];
    data::Dataset& project_;
    std::function<QDate()> today_;
};

}  // namespace meridell::record
