#include "common/core/Error.h"
#include "reports/SheetReader.h"
#include "reports/core/CellWidth.h"
#include "reports/core/Workbook.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace meridell::reports {
namespace {

QString errorOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const Error& e) {
        return e.text();
    }
    return {};
}

TEST(WorkbookTest, CellsOfEveryKindReadBackWithTheirTypes) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("结果.xlsx"));
    {
        Workbook book(path);
        Sheet& first = book.addSheet(
            QStringLiteral("项目"), {QStringLiteral("名称"), QStringLiteral("金额"), QStringLiteral("日期")});
        Sheet& second = book.addSheet(QStringLiteral("人员"), {QStringLiteral("姓名")});
        first.text(1, 0, QStringLiteral("软科学 <&> \"引号\"\n第二行"));
        first.number(1, 1, 12.5);
        first.date(1, 2, QDate(2003, 4, 5));
        second.text(1, 0, QStringLiteral("张三"));
        first.text(2, 0, QString(kCellTextLimit + 10, QLatin1Char('x')));
        first.date(2, 2, QDate());
        book.close();
    }
    const auto sheets = test::readWorkbook(path);
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].name, QStringLiteral("项目"));
    EXPECT_EQ(sheets[1].name, QStringLiteral("人员"));
    EXPECT_EQ(sheets[0].at(0, 1), QStringLiteral("金额"));
    EXPECT_EQ(sheets[0].at(1, 0), QStringLiteral("软科学 <&> \"引号\"\n第二行"));
    EXPECT_TRUE(sheets[0].rows[1][1].number);
    EXPECT_EQ(sheets[0].at(1, 1).toDouble(), 12.5);
    EXPECT_TRUE(sheets[0].rows[1][2].dateStyle);
    EXPECT_EQ(sheets[0].at(1, 2).toInt(), 37716);  // 2003-04-05 counted from 1899-12-30
    EXPECT_EQ(sheets[0].at(2, 0).size(), kCellTextLimit);
    EXPECT_EQ(sheets[0].at(2, 2), QString());
    EXPECT_EQ(sheets[1].at(1, 0), QStringLiteral("张三"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("结果.xlsx")});
}

// Texts taken as UTF-8 straight from a database: what is no UTF-8 reads as Qt decodes it, the sheet

// Widths as a spreadsheet shows the text: Chinese and other wide characters two, the widest line of
// several, counting given up at the cap.
TEST(WorkbookTest, DisplayWidthCountsWideCharactersTwiceAndTheWidestLine) {
    const struct {
        const char* text;
        int cap;
        int width;
    } cases[] = {
        {"", 50, 0},
        {"RKX2026-001", 50, 11},
        {"软科学研究", 50, 10},
        {"第一行\nsecond line here", 50, 16},
        {"全角ＡＢ", 50, 8},
        {"𠀀x", 50, 3},  // beyond the basic plane: one wide character
        {"长长长长长长长长长长", 7, 7},
    };
    for (const auto& c : cases) {
        const QByteArray utf8(c.text);
        EXPECT_EQ(displayWidth(QByteArrayView(utf8), c.cap), c.width) << c.text;
        EXPECT_EQ(displayWidth(QStringView(QString::fromUtf8(utf8)), c.cap), c.width) << c.text;
    }
}

// Columns take the width of their widest cell, header included, within bounds; a fixed width
// stays; a text past the widest column wraps; dates and shares have their formats; the print
// layout is landscape, one page wide, the header atop each page.
TEST(WorkbookTest, ColumnsFitTheirContentAndTheSheetPrintsOnePageWide) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("宽度.xlsx"));
    {
        Workbook book(path);
        Sheet& sheet =
            book.addSheet(QStringLiteral("项目"),
                          {QStringLiteral("编号"), QStringLiteral("项目名称"), QStringLiteral("日期"),
                           QStringLiteral("比例"), QStringLiteral("备注"), QStringLiteral("固定")});
        sheet.textUtf8(1, 0, QByteArrayView("1"));
        sheet.text(1, 1, QStringLiteral("关于全省软科学研究计划管理的若干问题研究"));  // 20 characters
        sheet.date(1, 2, QDate(2026, 12, 10));
        sheet.percent(1, 3, 1.0 / 6);
        sheet.text(1, 4, QString(80, QChar(u'长')));
        sheet.setWidth(5, 5, 9);
        sheet.text(1, 5, QString(30, QChar(u'x')));
        book.close();
    }
    const auto sheets = test::readWorkbook(path);
    ASSERT_EQ(sheets.size(), 1u);
    const test::ReadSheet& s = sheets[0];
    // The file holds each width with the library's padding of a fraction of a character.
    std::map<int, int> widths;
    for (const auto& [column, width] : s.widths) {
        widths[column] = int(width);
    }
    EXPECT_EQ(widths, (std::map<int, int>{{0, 7}, {1, 42}, {2, 12}, {3, 7}, {4, 52}, {5, 9}}));
    EXPECT_FALSE(s.rows[1][1].wraps);
    EXPECT_TRUE(s.rows[1][4].wraps);
    EXPECT_TRUE(s.rows[1][2].dateStyle);
    EXPECT_EQ(s.rows[1][3].format, QStringLiteral("0.0%"));
    EXPECT_NEAR(s.at(1, 3).toDouble(), 1.0 / 6, 1e-12);
    EXPECT_TRUE(s.landscape);
    EXPECT_TRUE(s.onePageWide);
    EXPECT_EQ(s.repeatedRows, QStringLiteral("$1:$1"));
}

// stays valid, and a zero byte is kept like any other character.
TEST(WorkbookTest, Utf8TextsReadBackAsTheyDecode) {
    const QByteArray texts[] = {
        // Well-formed: ASCII, Chinese, the edges of the two-, three- and four-byte forms.
        "plain ascii text",
        "\xe4\xb8\xad\xe6\x96\x87",
        "\xc2\xa9 \xdf\xbf",
        "\xed\x9f\xbf \xee\x80\x80",
        "\xf0\x9f\x98\x80 \xf4\x8f\xbf\xbf",
        "one\ntwo",
        // Overlong forms, a surrogate, beyond U+10FFFF, stray and cut sequences, a zero byte.
        "\xc0\x80",
        "\xe0\x80\x80",
        "\xf0\x80\x80\x80",
        "\xed\xa0\x80",
        "\xf4\x90\x80\x80",
        "\xf5\x80\x80\x80",
        "a\x80z",
        "\xe4\xb8",
        "\xe4\x41\x80",
        "\xe4\xc3\xa9",
        "\xe4\xb8\xc3",
        QByteArray("a\0b", 3),
        // Longer runs of ASCII, which are looked at eight bytes at a time.
        "0123456789\nabcdef",
        "01234567\xff!9abcdef",
        QByteArray("0123456789a\0bcdef", 17),
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("字节.xlsx"));
    {
        Workbook book(path);
        Sheet& sheet = book.addSheet(QStringLiteral("文本"), {QStringLiteral("文本")});
        int row = 1;
        for (const QByteArray& text : texts) {
            sheet.textUtf8(row++, 0, text);
        }
        book.close();
    }
    const auto sheets = test::readWorkbook(path);
    ASSERT_EQ(sheets.size(), 1u);
    int row = 1;
    for (const QByteArray& text : texts) {
        EXPECT_EQ(sheets[0].at(row++, 0), QString::fromUtf8(text)) << text.toHex().constData();
    }
}

// Texts that the file escapes come back as typed, whether given as UTF-8 or as a QString.
TEST(WorkbookTest, EscapedCharactersAndEscapeLookalikesComeBackAsTyped) {
    const QByteArray texts[] = {
        "_x000D_",
        "a_x000d_b",
        "_X0041_",
        "_x005F_",
        "__x0041__",
        "_x00G1_",
        "_x12_",
        "a\rb",
        "a\r\nb",
        "\r",
        "\x01\x0b\x1f",
        "tab\there",
        QByteArray("\0", 1),
        QByteArray("a\0_x0000_\0", 10),
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("转义.xlsx"));
    {
        Workbook book(path);
        Sheet& sheet =
            book.addSheet(QStringLiteral("文本"), {QStringLiteral("_x0041_"), QStringLiteral("文本")});
        int row = 1;
        for (const QByteArray& text : texts) {
            sheet.textUtf8(row, 0, text);
            sheet.text(row++, 1, QString::fromUtf8(text));
        }
        book.close();
    }
    const auto sheets = test::readWorkbook(path);
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].at(0, 0), QStringLiteral("_x0041_"));
    int row = 1;
    for (const QByteArray& text : texts) {
        EXPECT_EQ(sheets[0].at(row, 0), QString::fromUtf8(text)) << text.toHex().constData();
        EXPECT_EQ(sheets[0].at(row++, 1), QString::fromUtf8(text)) << text.toHex().constData();
    }
}

// Infinity and NaN are kept by no spreadsheet: such a number gives a text instead.
TEST(WorkbookTest, NumbersBeyondRangeAreWrittenAsText) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("数.xlsx"));
    const double numbers[] = {1.5, std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(), std::nan("")};
    {
        Workbook book(path);
        Sheet& sheet = book.addSheet(QStringLiteral("数"), {QStringLiteral("数")});
        for (int r = 0; r < 4; ++r) {
            sheet.number(r + 1, 0, numbers[r]);
        }
        book.close();
    }
    const auto sheets = test::readWorkbook(path);
    EXPECT_TRUE(sheets[0].rows[1][0].number);
    for (int r = 2; r <= 4; ++r) {
        EXPECT_FALSE(sheets[0].rows[size_t(r)][0].number);
        EXPECT_EQ(sheets[0].at(r, 0), QStringLiteral("超出范围"));
    }
}

// Rows past a sheet's last: refused with the limit named, never put down to the disk; a series of
// sheets goes on in a new sheet of the same kind, never splitting a group of rows.
TEST(WorkbookTest, RowsPastTheLastOfASheetGoOnOrAreRefusedNamingTheLimit) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("行.xlsx"));
    {
        Workbook book(path, 4);
        book.addSheet(QStringLiteral("项目"), {QStringLiteral("名称")}).text(4, 0, QStringLiteral("第五行"));
        const QString failure = errorOf([&] { book.close(); });
        EXPECT_TRUE(failure.contains(QStringLiteral("最多只能有4行"))) << failure.toStdString();
        EXPECT_FALSE(failure.contains(QStringLiteral("磁盘"))) << failure.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(path));
    {
        Workbook book(path, 4);
        SheetSeries series(book, QStringLiteral("项目"), {QStringLiteral("名称"), QStringLiteral("单位")});
        const int groups[] = {1, 2, 1, 3, 1};  // rows of each group
        const int firsts[] = {1, 2, 1, 1, 1};  // its first row on its sheet
        for (int g = 0; g < 5; ++g) {
            EXPECT_EQ(series.place(groups[g]), firsts[g]) << g;
            series.sheet().text(firsts[g], 0, QString::number(g));
        }
        EXPECT_EQ(series.sheets(), 4);
        EXPECT_TRUE(errorOf([&] { series.place(4); }).contains(QStringLiteral("最多只能有4行")));
    }
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(WorkbookTest, PiecesNeverSplitACharacterAndCoverTheWholeText) {
    EXPECT_EQ(cellPieces(QString()), QStringList{QString()});
    QString text(kCellTextLimit - 1, QLatin1Char('a'));
    text += QString::fromUcs4(U"\U00020000") + QStringLiteral("尾");
    const QStringList pieces = cellPieces(text);
    ASSERT_EQ(pieces.size(), 2);
    EXPECT_EQ(pieces[0].size(), kCellTextLimit - 1);
    EXPECT_EQ(pieces.join(QString()), text);
    EXPECT_EQ(cellPieces(QString(2 * kCellTextLimit, QLatin1Char('b'))).size(), 2);
    // What the file escapes counts with its escape, so every piece fits in its cell as written.
    const QString zeros = QString(kCellTextLimit / 2, QChar(0)) + QStringLiteral("_x000D_");
    const QStringList escaped = cellPieces(zeros);
    EXPECT_EQ(escaped.join(QString()), zeros);
    EXPECT_GE(escaped.size(), 4);
    for (const QString& piece : escaped) {
        EXPECT_TRUE(fitsOneCell(piece.toUtf8())) << piece.size();
    }
    EXPECT_FALSE(fitsOneCell(QByteArray(kCellTextLimit / 2, '\0')));
    EXPECT_TRUE(fitsOneCell(QByteArray(kCellTextLimit, 'a')));
}

TEST(WorkbookTest, AFailedOrAbandonedWriteLeavesTheChosenNameAsItWas) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.xlsx"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("previous");
    old.close();
    {
        Workbook book(path);
        book.addSheet(QStringLiteral("项目"), {QStringLiteral("名称")}).text(1, 0, QStringLiteral("新"));
    }  // destroyed without close()
    {
        Workbook book(path);
        Sheet& sheet = book.addSheet(QStringLiteral("项目"), {QStringLiteral("名称")});
        sheet.text(5, 0, QStringLiteral("新"));
        sheet.text(2, 0, QStringLiteral("行已经写过"));  // rows go forward only
        EXPECT_FALSE(errorOf([&] { book.close(); }).isEmpty());
    }
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("previous"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("old.xlsx")});
}

TEST(WorkbookTest, AMissingFolderOrAnOpenFileIsRefusedInChinese) {
    QTemporaryDir dir;
    const QString gone = dir.filePath(QStringLiteral("没有/结果.xlsx"));
    EXPECT_TRUE(errorOf([&] { Workbook book(gone); }).contains(QStringLiteral("不存在")));
    EXPECT_FALSE(QFileInfo::exists(gone));

    const QString path = dir.filePath(QStringLiteral("结果.xlsx"));
    QFile lock(dir.filePath(QStringLiteral(".~lock.结果.xlsx#")));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.close();
    EXPECT_TRUE(errorOf([&] { Workbook book(path); }).contains(QStringLiteral("另一个程序")));
    EXPECT_FALSE(QFileInfo::exists(path));

    // The folder disappears while the file is being written.
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    const QString inSub = dir.filePath(QStringLiteral("sub/结果.xlsx"));
    Workbook book(inSub);
    book.addSheet(QStringLiteral("项目"), {QStringLiteral("名称")});
    ASSERT_TRUE(QDir(dir.filePath(QStringLiteral("sub"))).removeRecursively());
    const QString failure = errorOf([&] { book.close(); });
    EXPECT_TRUE(failure.startsWith(QStringLiteral("电子表格文件"))) << failure.toStdString();
    EXPECT_FALSE(QFileInfo::exists(inSub));
}

}  // namespace
}  // namespace meridell::reports
