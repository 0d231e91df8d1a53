#include "reports/core/Workbook.h"

#include "common/core/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
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

QStringList cellPieces(const QString& value) {
    QStringList pieces;
    qsizetype start = 0;
    do {
        qsizetype length = std::min<qsizetype>(kCellTextLimit, value.size() - start);
        if (start + length < value.size() && value.at(start + length - 1).isHighSurrogate()) {
            --length;
        }
        pieces.append(value.mid(start, length));
        start += length;
    } while (start < value.size());
    return pieces;
}

void Sheet::check(int error) {
    if (error != LXW_NO_ERROR && book_.firstError_ == LXW_NO_ERROR) {
        book_.firstError_ = error;
    }
}

void Sheet::text(int row, int column, const QString& value) {
    if (value.isEmpty()) {
        return;
    }
    const QString cell = value.size() > kCellTextLimit ? cellPieces(value).front() : value;
    lxw_format* format = cell.contains(QLatin1Char('\n')) ? book_.wrap_ : nullptr;
    check(
        worksheet_write_string(sheet_, lxw_row_t(row), lxw_col_t(column), cell.toUtf8().constData(), format));
}

void Sheet::textUtf8(int row, int column, QByteArrayView value) {
    if (value.isEmpty()) {
        return;
    }
    if (value.size() > kCellTextLimit || !value.isValidUtf8() || value.contains('\0')) {
        text(row, column, QString::fromUtf8(value));
        return;
    }
    lxw_format* format = value.contains('\n') ? book_.wrap_ : nullptr;
    check(worksheet_write_string(sheet_, lxw_row_t(row), lxw_col_t(column), value.data(), format));
}

void Sheet::number(int row, int column, double value) {
    check(worksheet_write_number(sheet_, lxw_row_t(row), lxw_col_t(column), value, nullptr));
}

void Sheet::date(int row, int column, const QDate& value) {
    if (!value.isValid()) {
        return;
    }
    lxw_datetime when{value.year(), value.month(), value.day(), 0, 0, 0.0};
    check(worksheet_write_datetime(sheet_, lxw_row_t(row), lxw_col_t(column), &when, book_.date_));
}

void Sheet::dateTime(int row, int column, const QDateTime& value) {
    if (!value.isValid()) {
        return;
    }
    const QDate d = value.date();
    const QTime t = value.time();
    lxw_datetime when{d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second() + t.msec() / 1000.0};
    check(worksheet_write_datetime(sheet_, lxw_row_t(row), lxw_col_t(column), &when, book_.dateTime_));
}

void Sheet::setWidth(int first, int last, double width) {
    check(worksheet_set_column(sheet_, lxw_col_t(first), lxw_col_t(last), width, nullptr));
}

Workbook::Workbook(const QString& path) : path_(QFileInfo(path).absoluteFilePath()) {
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
    dateTime_ = workbook_add_format(book_);
    format_set_num_format(dateTime_, "yyyy-mm-dd hh:mm:ss");
    wrap_ = workbook_add_format(book_);
    format_set_text_wrap(wrap_);
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

void Workbook::fail(const QString& engineText) {
    discard();
    throw Error(cannotWrite(path_) +
                QStringLiteral("\n请检查文件夹是否还在、磁盘是否已满、文件是否正在另一个程序中打开。\n") +
                engineText);
}

Sheet& Workbook::addSheet(const QString& name, const QStringList& header) {
    lxw_worksheet* sheet = workbook_add_worksheet(book_, name.left(LXW_SHEETNAME_MAX).toUtf8().constData());
    if (sheet == nullptr) {
        fail(QStringLiteral("Cannot add the sheet ") + name);
    }
    sheets_.push_back(std::unique_ptr<Sheet>(new Sheet(*this, sheet)));
    Sheet& added = *sheets_.back();
    for (int column = 0; column < header.size(); ++column) {
        added.check(worksheet_write_string(sheet, 0, lxw_col_t(column),
                                           header.at(column).toUtf8().constData(), bold_));
    }
    worksheet_freeze_panes(sheet, 1, 0);
    return added;
}

void Workbook::close() {
    if (firstError_ != LXW_NO_ERROR) {
        fail(QString::fromUtf8(lxw_strerror(lxw_error(firstError_))));
    }
    const lxw_error closed = workbook_close(book_);
    book_ = nullptr;
    if (closed != LXW_NO_ERROR) {
        fail(QString::fromUtf8(lxw_strerror(closed)));
    }
    if (std::rename(QFile::encodeName(temporary_).constData(), QFile::encodeName(path_).constData()) != 0) {
        fail(QString::fromLocal8Bit(std::strerror(errno)));
    }
    temporary_.clear();
}

}  // namespace meridell::reports
