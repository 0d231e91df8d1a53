#include "reports/core/Workbook.h"

#include "common/core/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdint>
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

// The length of the well-formed UTF-8 sequence of more than one byte at `p`, or 0.
int sequenceLength(const unsigned char* p, const unsigned char* end) {
    const unsigned char b = *p;
    int more = 0;
    unsigned char low = 0x80;  // the range of the byte after the lead byte
    unsigned char high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        more = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
        more = 2;
        low = b == 0xE0 ? 0xA0 : low;    // no overlong form
        high = b == 0xED ? 0x9F : high;  // no surrogate
    } else if (b >= 0xF0 && b <= 0xF4) {
        more = 3;
        low = b == 0xF0 ? 0x90 : low;
        high = b == 0xF4 ? 0x8F : high;  // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (end - p <= more || p[1] < low || p[1] > high) {
        return 0;
    }
    for (int k = 2; k <= more; ++k) {
        if ((p[k] & 0xC0) != 0x80) {
            return 0;
        }
    }
    return more + 1;
}

// Whether eight bytes hold a byte of the value `byte` (all of them below 0x80).
bool holds(std::uint64_t bytes, unsigned char byte) {
    constexpr std::uint64_t ones = 0x0101010101010101;
    const std::uint64_t x = bytes ^ (ones * byte);
    return ((x - ones) & ~x & (ones << 7)) != 0;
}

// Past the three-byte characters at `p` that need no closer look (most of Chinese text).
const unsigned char* threeByteRun(const unsigned char* p, const unsigned char* end) {
    while (end - p >= 3) {
        const unsigned lead = p[0];
        // A lead byte from E1 to EF but ED, then two bytes from 80 to BF.
        if (lead - 0xE1u > 0x0Eu || lead == 0xED || ((p[1] ^ 0x80u) | (p[2] ^ 0x80u)) >= 0x40u) {
            break;
        }
        p += 3;
    }
    return p;
}

// Whether `text` is well-formed UTF-8, which the library can take as it is (up to a zero byte, where
// every text of a cell ends); `lineBreak` tells whether it holds a line break. One pass, as the texts of a
// large sheet are many: plain ASCII eight bytes at a time, the three-byte characters of Chinese text at once.
bool plainUtf8(QByteArrayView text, bool& lineBreak) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = p + text.size();
    lineBreak = false;
    while (p < end) {
        std::uint64_t eight = 0;
        if (end - p >= 8 && (std::memcpy(&eight, p, 8), (eight & 0x8080808080808080) == 0)) {
            lineBreak = lineBreak || holds(eight, '\n');
            p += 8;
        } else if (*p < 0x80) {
            lineBreak = lineBreak || *p == '\n';
            ++p;
        } else if (const auto* run = threeByteRun(p, end); run != p) {
            p = run;
        } else {
            const int length = sequenceLength(p, end);
            if (length == 0) {
                return false;
            }
            p += length;
        }
    }
    return true;
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
    bool lineBreak = false;
    if (value.size() > kCellTextLimit || !plainUtf8(value, lineBreak)) {
        text(row, column, QString::fromUtf8(value));
        return;
    }
    lxw_format* format = lineBreak ? book_.wrap_ : nullptr;
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
