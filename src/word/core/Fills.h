#pragma once

#include <QString>
#include <QVariant>

namespace meridell::data {
class Dataset;
}

namespace meridell::word {

class Document;

// Type size of the tables the fills add.
constexpr double kAddedTablePoints = 11.0;

// Formatting of the values written into the design task book.

// The text extended with "_" until it is `width` bytes long in GB2312 (a Chinese character counts
// two); a text as long or longer is kept whole.
QString underscoreFill(const QString& text, int width);
// A number with exactly two decimals ("0.00"); null and empty count as 0. Throws meridell::Error
// for a value that is not a number.
QString moneyText(const QVariant& value);
// The project period, such as 2004年3月－2005年12月, or 2004年3月－ without an end year; empty
// without a start year. A missing month leaves out its "月".
QString periodText(const QString& yearStart, const QString& monthStart, const QString& yearEnd,
                   const QString& monthEnd);

// Fills an opened design task book template with the current project of `project` and its prior
// projects and staff, which `prior` and `staff` are pointed at, read and left closed.
void fillDesignTaskBook(Document& document, const data::Dataset& project, data::Dataset& prior,
                        data::Dataset& staff);

// Fills an opened project list template with every project of `projects`, in their order, and
// leaves `projects` on its first row.
void fillProjectList(Document& document, data::Dataset& projects);

}  // namespace meridell::word
