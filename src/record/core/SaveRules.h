#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <optional>
#include <span>

namespace meridell::data {
class Connection;
class Dataset;
}  // namespace meridell::data

namespace meridell::record {

// The rules applied when a project record is stored: which fields must be filled, how nulls are
// replaced, the birth-date text and the identity-card rule of the staff rows, and how the child rows
// follow the project's key. They work on datasets and texts only, without widgets.

// The four fields a project cannot be stored without, in message order.
struct RequiredField {
    const char* control;  // the control whose shown text is tested
    const char* column;
    const char* piece;  // its part of the message
};
std::span<const RequiredField> requiredFields();

// Opening and closing text of the required-field message.
struct MessageFrame {
    QString opening;
    QString closing;
};
const MessageFrame& saveFrame();   // "请填写" ... "谢谢！"
const MessageFrame& entryFrame();  // "您必须首先填写" ... "才能填写该页！"

// `shown` holds the texts the four required controls show, in requiredFields() order. Returns the
// message naming every empty one, or an empty text when all are filled (a blank counts as filled).
QString missingFieldsMessage(const QStringList& shown, const MessageFrame& frame);

// The birth year and month of an identity-card number of 15 or 18 characters ("1978年09月");
// nothing for any other length.
std::optional<QString> birthDateText(const QString& idcard);

// The usual integer-text conversion into a signed 64-bit integer: optional leading blanks, an
// optional sign, then decimal digits, or hexadecimal digits after "$", "0x" or "0X" (a hexadecimal
// form may use all 64 bits, its top bit being the sign). Nothing may follow; an empty text, a bare
// sign or prefix, and a value out of range do not convert.
std::optional<qint64> int64FromText(const QString& text);

// A staff identity-card number is kept when it has 15 or 18 characters and converts as above, or
// has 18 characters of which the first 17 are digits and the last is the check character X (or x).
bool isAcceptedStaffIdcard(const QString& idcard);

// Data columns of the two child tables, whose nulls become the empty text when a row is stored.
std::span<const char* const> priorProjectDataColumns();
std::span<const char* const> staffDataColumns();

// Puts the current row into editing and turns every null among `columns` into the empty text.
void emptyNullColumns(data::Dataset& rows, std::span<const char* const> columns);

// Normalises and stores the current project row: text and memo nulls become the empty text, number
// nulls 0, the register date becomes `today`, and an identity-card number of 15 or 18 characters
// gives the birth-date text. The row is posted.
void normaliseProjectRow(data::Dataset& project, const QDate& today);

// Writes the project key (name, leader, undertaking unit) of the project's current row, as it
// stands, into the current row of `rows`.
void writeProjectKey(data::Dataset& rows, const data::Dataset& project);

// The staff identity rule on the current staff row: an identity-card number that is not accepted
// is erased together with the birth-date text, an accepted one gives the birth-date text (and a
// final x becomes X). Posts.
void applyStaffIdentityRule(data::Dataset& staff);

// Appends and stores the first staff row of a new project: its leader, with the project's key,
// name, unit and birth-date text, and no identity-card number.
void appendLeaderRow(data::Dataset& staff, const data::Dataset& project);

// Every listed row, first to last, gets the project's key and empty texts for its null data
// columns and is stored; staff rows go through the identity rule.
void restampPriorProjects(data::Dataset& prior, const data::Dataset& project);
void restampStaff(data::Dataset& staff, const data::Dataset& project);

// Runs `work` in one transaction on `connection`. When it fails, nothing of it stays in the
// database, the datasets are put back as they were before (typed values included) and the error
// is thrown on.
void runAllOrNothing(data::Connection& connection, std::initializer_list<data::Dataset*> datasets,
                     const std::function<void()>& work);

}  // namespace meridell::record
