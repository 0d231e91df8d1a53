#include "reports/core/Workbook.h"

#include "common/core/Error.h"
#include "reports/core/CellWidth.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <xlsxwriter.h>

namespace meridell::reports {

namespace {

// The lock file an office suite keeps beside a document it has open.
QString officeLockFile(const QFileInfo& target) {
    return target.absoluteDir().filePath(QStringLiteral(".~lock.%1#").arg(target.fileName()));
}

QString cannotWrite(const QString& path) {
    return QStringLiteral("电子表格文件“%1”无法写入，原有的文件没有改动。")
        .arg(QDir::toNativeSeparators(path));
}

}  // namespace

namespace {

char16_t unit(char c) {
    return char16_t(static_cast<unsigned char>(c));
}
char16_t unit(QChar c) {
    return c.unicode();
}

bool isHexDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Whether the text at `at` reads as an escaped character: "_x", four hex digits, "_".
template <typename View>
bool escapeAt(View text, qsizetype at) {
    if (at + 7 > text.size() || unit(text[at]) != u'_' || (unit(text[at + 1]) | 0x20) != u'x' ||
        unit(text[at + 6]) != u'_') {
        return false;
    }
    for (qsizetype k = at + 2; k < at + 6; ++k) {
        if (!isHexDigit(unit(text[k]))) {
            return false;
        }
    }
    return true;
}

// Seven characters for what is escaped ("_x0000_" for a zero byte, "_x005F_" and the rest for a
// text that reads as an escape), one for the rest.
constexpr int kEscapeLength = 7;

bool needsEscapes(QByteArrayView utf8) {
    if (utf8.contains('\0')) {
        return true;
    }
    for (qsizetype at = utf8.indexOf('_'); at >= 0; at = utf8.indexOf('_', at + 1)) {
        if (escapeAt(utf8, at)) {
            return true;
        }
    }
    return false;
}

// The characters `value` takes in the file from `from` up to `limit` of them: how many units of
// `value` fit.
qsizetype unitsThatFit(QStringView value, qsizetype from, qsizetype limit) {
    qsizetype used = 0;
    qsizetype at = from;
    while (at < value.size()) {
        const QChar c = value[at];
        const bool pair = c.isHighSurrogate() && at + 1 < value.size() && value[at + 1].isLowSurrogate();
        const qsizetype weight = c.unicode() == 0 || escapeAt(value, at) ? kEscapeLength : (pair ? 2 : 1);
        if (used + weight > limit) {
            break;
        }
        used += weight;
        at += pair ? 2 : 1;
    }
    return at - from;
}

}  // namespace

QStringList cellPieces(const QString& value) {
    if (value.size() <= kCellTextLimit / kEscapeLength) {
        return {value};
    }
    QStringList pieces;
    qsizetype start = 0;
    do {
        const qsizetype length = unitsThatFit(value, start, kCellTextLimit);
        pieces.append(value.mid(start, length));
        start += length;
    } while (start < value.size());
    return pieces;
}

QByteArray cellEscapes(QByteArrayView utf8) {
    if (!needsEscapes(utf8)) {
        return {};
    }
    QByteArray escaped;
    escaped.reserve(utf8.size() + 2 * kEscapeLength);
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '\0') {
            escaped += "_x0000_";
            continue;
        }
        if (c == '_' && escapeAt(utf8, i)) {
            escaped += "_x005F";
        }
        escaped += c;
    }
    return escaped;
}

bool fitsOneCell(QByteArrayView utf8) {
    if (utf8.size() <= kCellTextLimit / kEscapeLength) {
        return true;
    }
    if (utf8.size() > kCellTextLimit) {
        return false;
    }
    // Every character takes at least one byte, so an escaped text of few enough bytes fits.
    const QByteArray escaped = cellEscapes(utf8);
    return escaped.isNull() || escaped.size() <= kCellTextLimit;
}

void Sheet::check(int error) {
    if (error != LXW_NO_ERROR && book_.firstError_ == LXW_NO_ERROR) {
        book_.firstError_ = error;
    }
}

bool Sheet::fits(int row) {
    if (row < book_.rowLimit_) {
        return true;
    }
    book_.tooManyRows_ = true;
    return false;
}

void Sheet::widen(int column, int width) {
    if (column >= int(widths_.size())) {
        widths_.resize(size_t(column) + 1, 0);
    }
    int& widest = widths_[size_t(column)];
    if (widest >= 0) {
        widest = std::max(widest, width);
    }
}

void Sheet::applyWidths() {
    constexpr int kNarrowest = 6;  // room for a short number and the filter of a header
    constexpr int kMargin = 2;     // the cell's padding, so the text does not touch the grid
    for (size_t column = 0; column < widths_.size(); ++column) {
        if (widths_[column] >= 0) {
            const int width = std::clamp(widths_[column] + kMargin, kNarrowest, kWidestColumn + kMargin);
            check(worksheet_set_column(sheet_, lxw_col_t(column), lxw_col_t(column), width, nullptr));
        }
    }
}

void Sheet::write(int row, int column, const char* escaped, bool lines, int width) {
    if (fits(row)) {
        const bool wrap = lines || width >= kWidestColumn;
        check(worksheet_write_string(sheet_, lxw_row_t(row), lxw_col_t(column), escaped,
                                     wrap ? book_.wrap_ : nullptr));
        widen(column, width);
    }
}

void Sheet::text(int row, int column, const QString& value) {
    if (value.isEmpty()) {
        return;
    }
    const QByteArray utf8 = cellPieces(value).front().toUtf8();
    const QByteArray escaped = cellEscapes(utf8);
    write(row, column, (escaped.isNull() ? utf8 : escaped).constData(), utf8.contains('\n'),
          displayWidth(QByteArrayView(utf8), kWidestColumn));
}

void Sheet::textUtf8(int row, int column, QByteArrayView value) {
    if (value.isEmpty()) {
        return;
    }
    const QByteArray escaped = value.size() <= kCellTextLimit ? cellEscapes(value) : QByteArray();
    // Every character takes at least one byte, so an escaped text of few enough bytes fits.
    if (value.size() > kCellTextLimit || escaped.size() > kCellTextLimit || !value.isValidUtf8()) {
        text(row, column, QString::fromUtf8(value));
        return;
    }
    write(row, column, escaped.isNull() ? value.data() : escaped.constData(), value.contains('\n'),
          displayWidth(value, kWidestColumn));
}

void Sheet::number(int row, int column, double value) {
    if (!std::isfinite(value)) {
        text(row, column, QStringView(kOutOfRangeText).toString());
        return;
    }
    if (fits(row)) {
        check(worksheet_write_number(sheet_, lxw_row_t(row), lxw_col_t(column), value, nullptr));
        // The spreadsheet shows at most eleven characters of a number in a general cell.
        widen(column, std::min(int(QByteArray::number(value, 'g', 10).size()), 11));
    }
}

void Sheet::percent(int row, int column, double fraction) {
    if (!std::isfinite(fraction)) {
        text(row, column, QStringView(kOutOfRangeText).toString());
        return;
    }
    if (fits(row)) {
        check(worksheet_write_number(sheet_, lxw_row_t(row), lxw_col_t(column), fraction, book_.percent_));
        widen(column, int(QByteArray::number(fraction * 100, 'f', 1).size()) + 1);
    }
}

void Sheet::date(int row, int column, const QDate& value) {
    if (!value.isValid() || !fits(row)) {
        return;
    }
    lxw_datetime when{value.year(), value.month(), value.day(), 0, 0, 0.0};
    check(worksheet_write_datetime(sheet_, lxw_row_t(row), lxw_col_t(column), &when, book_.date_));
    widen(column, int(sizeof("yyyy-mm-dd")) - 1);
}

void Sheet::setWidth(int first, int last, double width) {
    check(worksheet_set_column(sheet_, lxw_col_t(first), lxw_col_t(last), width, nullptr));
    for (int column = first; column <= last; ++column) {
        widen(column, 0);
        widths_[size_t(column)] = -1;
    }
}

Workbook::Workbook(const QString& path, int rowLimit)
    : path_(QFileInfo(path).absoluteFilePath()), rowLimit_(std::clamp(rowLimit, 2, kSheetRowLimit)) {
    const QFileInfo target(path_);
    if (!target.absoluteDir().exists()) {
        throw Error(
            cannotWrite(path_) +
            QStringLiteral("\n文件夹“%1”不存在。").arg(QDir::toNativeSeparators(target.absolutePath())));
    }
    if (target.isDir()) {
        throw Error(cannotWrite(path_) + QStringLiteral("\n这个名称是一个文件夹。"));
    }
    if (QFileInfo::exists(officeLockFile(target))) {
        throw Error(cannotWrite(path_) + QStringLiteral("\n这个文件正在另一个程序中打开，请先关闭它。"));
    }
    // A unique name beside the chosen one, so the final rename stays on one file system.
    QTemporaryFile reserve(
        target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(target.fileName())));
    reserve.setAutoRemove(false);
    if (!reserve.open()) {
        throw Error(cannotWrite(path_) + QLatin1Char('\n') + reserve.errorString());
    }
    temporary_ = reserve.fileName();
    reserve.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                           QFileDevice::ReadOther);
    reserve.close();
    folder_ = QFile::encodeName(target.absolutePath());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = folder_.data();
    options.use_zip64 = LXW_TRUE;
    book_ = workbook_new_opt(QFile::encodeName(temporary_).constData(), &options);
    if (book_ == nullptr) {
        discard();
        throw Error(cannotWrite(path_));
    }
    bold_ = workbook_add_format(book_);
    format_set_bold(bold_);
    date_ = workbook_add_format(book_);
    format_set_num_format(date_, "yyyy-mm-dd");
    wrap_ = workbook_add_format(book_);
    format_set_text_wrap(wrap_);
    format_set_align(wrap_, LXW_ALIGN_VERTICAL_TOP);
    percent_ = workbook_add_format(book_);
    format_set_num_format(percent_, "0.0%");
}

Workbook::~Workbook() {
    discard();
}

void Workbook::discard() {
    if (book_ != nullptr) {
        // Closing is the only way to free the library's workbook; its output is thrown away below.
        workbook_close(book_);
        book_ = nullptr;
    }
    if (!temporary_.isEmpty()) {
        QFile::remove(temporary_);
        temporary_.clear();
    }
}

void Workbook::failWith(const QString& reason) {
    discard();
    throw Error(cannotWrite(path_) + QLatin1Char('\n') + reason);
}

void Workbook::fail(int engineError) {
    const QString engineText = QString::fromUtf8(lxw_strerror(lxw_error(engineError)));
    if (engineError == LXW_ERROR_MEMORY_MALLOC_FAILED) {
        failWith(QStringLiteral("内存不够。\n") + engineText);
    }
    if (engineError >= LXW_ERROR_CREATING_XLSX_FILE && engineError <= LXW_ERROR_ZIP_CLOSE) {
        failWith(QStringLiteral("请检查文件夹是否还在、磁盘是否已满、文件是否正在另一个程序中打开。\n") +
                 engineText);
    }
    failWith(engineText);
}

void Workbook::failTooManyRows() {
    failWith(
        QStringLiteral("一张工作表最多只能有%1行（含标题行），要写的数据超出了这个行数。").arg(rowLimit_));
}

Sheet& Workbook::addSheet(const QString& name, const QStringList& header) {
    lxw_worksheet* sheet = workbook_add_worksheet(book_, name.left(LXW_SHEETNAME_MAX).toUtf8().constData());
    if (sheet == nullptr) {
        failWith(QStringLiteral("Cannot add the sheet ") + name);
    }
    sheets_.push_back(std::unique_ptr<Sheet>(new Sheet(*this, sheet)));
    Sheet& added = *sheets_.back();
    for (int column = 0; column < header.size(); ++column) {
        const QByteArray title = header.at(column).toUtf8();
        const QByteArray escaped = cellEscapes(title);
        added.check(worksheet_write_string(sheet, 0, lxw_col_t(column),
                                           (escaped.isNull() ? title : escaped).constData(), bold_));
        // Bold text stands a little wider than plain.
        added.widen(column, displayWidth(QByteArrayView(title), kWidestColumn) + 1);
    }
    worksheet_freeze_panes(sheet, 1, 0);
    // Printed: landscape on A4, as many pages down as needed but one across, the header on each.
    constexpr uint8_t kPaperA4 = 9;
    worksheet_set_paper(sheet, kPaperA4);
    worksheet_set_landscape(sheet);
    worksheet_fit_to_pages(sheet, 1, 0);
    added.check(worksheet_repeat_rows(sheet, 0, 0));
    return added;
}

void Workbook::close() {
    if (tooManyRows_) {
        failTooManyRows();
    }
    for (const auto& sheet : sheets_) {
        sheet->applyWidths();
    }
    if (firstError_ != LXW_NO_ERROR) {
        fail(firstError_);
    }
    const lxw_error closed = workbook_close(book_);
    book_ = nullptr;
    if (closed != LXW_NO_ERROR) {
        fail(closed);
    }
    if (std::rename(QFile::encodeName(temporary_).constData(), QFile::encodeName(path_).constData()) != 0) {
        failWith(QStringLiteral("请检查文件夹是否还在、文件是否正在另一个程序中打开。\n") +
                 QString::fromLocal8Bit(std::strerror(errno)));
    }
    temporary_.clear();
}

SheetSeries::SheetSeries(Workbook& book, QString name, QStringList header)
    : book_(book),
      name_(std::move(name)),
      header_(std::move(header)),
      sheet_(&book_.addSheet(name_, header_)) {}

int SheetSeries::place(int rows) {
    const int room = book_.rowLimit() - 1;  // below the header
    if (rows > room) {
        book_.failTooManyRows();
    }
    if (next_ - 1 + rows > room) {
        sheet_ = &book_.addSheet(QStringLiteral("%1（续%2）").arg(name_).arg(sheets_), header_);
        ++sheets_;
        next_ = 1;
    }
    const int first = next_;
    next_ += rows;
    return first;
}

}  // namespace meridell::reports
