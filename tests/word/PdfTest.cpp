#include "data/Dataset.h"
#include "data/ProjectQuery.h"
#include "exchange/ProgressWindow.h"
#include "record/RecordForm.h"
#include "support/AppFixture.h"
#include "word/DocumentCommands.h"
#include "word/core/Generation.h"
#include "word/core/PdfExport.h"
#include "word/core/TaskBookBatch.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

using namespace meridell;
using Kind = meridell::test::RecordingMessages::Kind;

namespace {

bool havePdfTools() {
    return !QStandardPaths::findExecutable("soffice").isEmpty() &&
           !QStandardPaths::findExecutable("pdftotext").isEmpty();
}

// The text of each page of a PDF, laid out as on the page.
QStringList pdfPages(const QString& pdf) {
    QProcess extract;
    extract.start("pdftotext", {"-layout", "-enc", "UTF-8", pdf, "-"});
    EXPECT_TRUE(extract.waitForFinished(60000));
    QStringList pages = QString::fromUtf8(extract.readAllStandardOutput()).split('\f');
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) {
        pages.removeLast();
    }
    return pages;
}

QString compact(QString text) {
    return text.remove(QRegularExpression("\\s"));
}

// Whether the text stands on one line of the page (blanks aside).
bool onOneLine(const QString& page, const QString& text) {
    const QStringList lines = page.split('\n');
    return std::any_of(lines.begin(), lines.end(),
                       [&](const QString& line) { return compact(line).contains(text); });
}

QString repeat(const QString& piece, int bytes) {
    QString text;
    while (text.toLocal8Bit().size() < bytes) {  // ASCII only: one byte a character
        text += piece;
    }
    return text.left(bytes);
}

QString chinese(int characters, int offset = 0) {
    QString text;
    for (int i = 0; i < characters; ++i) {
        text += QChar(char16_t(0x5B66 + (i + offset) % 40));
    }
    return text;
}

// A project whose every text field on the cover and the summary holds as much as it accepts.
QVariantMap projectAtLimits() {
    return {{"projectname", chinese(40)},
            {"projectman", chinese(10, 3)},
            {"takeunit1", chinese(25, 5)},
            {"registernum", repeat("R2004W", 50)},
            {"serialnum", repeat("S0017M", 30)},
            {"classcode", repeat("A1B2", 30)},
            {"unitaddress1", chinese(40, 7)},
            {"email", repeat("wmail", 50) + "@x.edu.cn"},
            {"mailnum", "450000"},
            {"telephone", "0571-87654321-" + repeat("8", 16)},
            {"projectdomain", "环保、资源利用与可持续发展"},
            {"code", "20"},
            {"cost", 12345678.99},
            {"yearstart", "2004"},
            {"monthstart", "03"},
            {"yearend", "2005"},
            {"monthend", "12"},
            {"sex", "女"},
            {"birthday", "1975年03月"},
            {"technicalstandard", "教授级高工(农)"},
            {"degree", "硕士"},
            {"degreecountry", chinese(15, 9)},
            {"department", chinese(25, 11)},
            {"character", "其它"},
            {"director", chinese(25, 13)},
            {"maincontent", chinese(500, 2)},
            {"takeunit2", chinese(25, 1)},
            {"unitaddress2", chinese(35, 4)},
            {"takeunit3", chinese(25, 6)},
            {"unitaddress3", chinese(35, 8)}};
}

// A project as an applicant typically fills it in.
QVariantMap ordinaryProject() {
    return {{"projectname", "区域创新体系研究"},
            {"projectman", "张三丰"},
            {"takeunit1", "省社会科学院"},
            {"classcode", "A1"},
            {"unitaddress1", "文化路8号"},
            {"email", "zhangsf@example.org"},
            {"mailnum", "450000"},
            {"telephone", "0371-1234567"},
            {"projectdomain", "区域发展"},
            {"code", "13"},
            {"cost", 12.5},
            {"yearstart", "2004"},
            {"monthstart", "3"},
            {"yearend", "2005"},
            {"monthend", "12"},
            {"sex", "男"},
            {"birthday", "1962年05月"},
            {"technicalstandard", "研究员"},
            {"degree", "博士"},
            {"degreecountry", "中国"},
            {"department", "经济研究所"},
            {"character", "科研单位"},
            {"director", "省科学技术厅"},
            {"maincontent", "研究本省区域创新体系的结构与运行机制，提出完善的政策建议。"},
            {"projectbase", "区域创新体系是国家创新体系的重要组成部分。"},
            {"remark", "经费由省拨款与单位自筹两部分组成。"}};
}

class PdfTest : public test::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        if (!havePdfTools()) {
            GTEST_SKIP() << "soffice or pdftotext is not installed here: the PDF checks did not run";
        }
    }
    data::Dataset& projects() { return ctx().recordForm->projectQuery; }
    // A project with two staff rows, their texts at their limits or ordinary.
    void add(const QVariantMap& project, bool staffAtLimits = false) {
        test::SqlFile(folder.databasePath()).insert("table1", project);
        for (const char* name : {"欧阳明华", "李四"}) {
            QVariantMap staff{{"projectname", project["projectname"]},
                              {"projectman", project["projectman"]},
                              {"takeunit1", project["takeunit1"]},
                              {"name", name},
                              {"birthday", "1975年03月"}};
            if (staffAtLimits) {
                staff.insert({{"unit", chinese(25)},
                              {"speciality", chinese(25, 3)},
                              {"duty", chinese(15, 5)},
                              {"job", chinese(25, 7)}});
            } else {
                staff.insert({{"unit", "省社会科学院"},
                              {"speciality", "区域经济"},
                              {"duty", "研究员"},
                              {"job", "课题设计与调研"}});
            }
            test::SqlFile(folder.databasePath()).insert("table3", staff);
        }
    }
    void openAll() {
        projects().setQuery(data::ProjectQuery::allProjects());
        projects().open();
    }
};

TEST_F(PdfTest, AtTheFieldsLimitsTheCoverIsPageOneAloneAndNoCheckBoxLeavesItsLabel) {
    add(projectAtLimits(), true);
    openAll();
    ctx().openDocuments = true;
    ctx().documentCommands->generateDesignTaskBookPdf(word::Origin::ProjectListPage);
    ASSERT_TRUE(messages.shown().isEmpty()) << messages.shown().join("; ").toStdString();
    const QString pdf = folder.file("设计任务书.pdf");
    EXPECT_EQ(messages.texts(Kind::OpenDocument), QStringList{pdf});
    const QStringList pages = pdfPages(pdf);
    ASSERT_GE(pages.size(), 6);

    // The cover: its last line on page 1, nothing of it on page 2.
    const QString cover = compact(pages[0]);
    EXPECT_TRUE(cover.contains("填报日期")) << pages[0].toStdString();
    EXPECT_TRUE(cover.contains("软科学研究计划管理办公室制"));
    EXPECT_TRUE(cover.contains(chinese(40)));
    EXPECT_TRUE(compact(pages[1]).startsWith("填写说明")) << pages[1].toStdString();
    EXPECT_FALSE(compact(pages[1]).contains("填报日期"));

    // The summary: every box right after its label, labels and numbers on one line each.
    int summary = -1;
    for (int i = 0; i < pages.size() && summary < 0; ++i) {
        summary = pages[i].contains("项目简表") ? i : -1;
    }
    ASSERT_GE(summary, 0);
    const QString page = pages[summary];
    for (qsizetype at = page.indexOf(QRegularExpression("[□■]")); at >= 0;
         at = page.indexOf(QRegularExpression("[□■]"), at + 1)) {
        ASSERT_GT(at, 0);
        EXPECT_FALSE(page[at - 1].isSpace())
            << "a box apart from its label: " << page.mid(at - 8, 16).toStdString();
    }
    for (const char* whole :
         {"男□", "女■", "学士□", "硕士■", "博士□", "其它□", "高等院校□", "科研单位□", "政府机关□",
          "申请经费(万元)", "第二承担单位", "第三承担单位", "系(处、所)", "1975年03月",
          "0571-87654321-8888888888888888", "12345678.99", "环保、资源利用与可持续发展", "教授级高工(农)"}) {
        EXPECT_TRUE(onOneLine(page, QString::fromUtf8(whole))) << whole;
    }
    EXPECT_TRUE(page.contains(QRegularExpression("其 +它■")));
}

TEST_F(PdfTest, TheProjectListAndTheTaskBookOfOrdinaryValues) {
    add(ordinaryProject());
    openAll();
    ctx().documentCommands->generateProjectListPdf(word::Origin::QueryPage);
    ctx().documentCommands->generateDesignTaskBookPdf(word::Origin::QueryPage);
    ASSERT_TRUE(messages.shown().isEmpty()) << messages.shown().join("; ").toStdString();
    const QStringList list = pdfPages(folder.file("项目列表.pdf"));
    ASSERT_EQ(list.size(), 1);
    EXPECT_TRUE(compact(list[0]).contains("指南代码项目名称专业领域负责人技术职称承担单位"));
    EXPECT_TRUE(compact(list[0]).contains("区域创新体系研究"));
    const QStringList book = pdfPages(folder.file("设计任务书.pdf"));
    EXPECT_TRUE(compact(book[0]).contains("软科学研究计划管理办公室制"));
    // The staff table: dates, names, units and tasks each on one line.
    const QStringList lines = book.join("\n").split('\n');
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const QString& line) { return compact(line).contains("1975年03月"); }),
              2);
    for (const char* whole : {"省社会科学院", "课题设计与调研", "欧阳明华", "区域经济"}) {
        EXPECT_TRUE(onOneLine(book.join("\n"), QString::fromUtf8(whole))) << whole;
    }
}

TEST_F(PdfTest, AllTaskBooksOfTheResultGoIntoTheChosenFolder) {
    add({{"projectname", "调查/研究"}, {"projectman", "甲"}, {"takeunit1", "单位甲"}});
    add({{"projectname", "同名项目"}, {"projectman", "乙"}, {"takeunit1", "单位乙"}});
    add({{"projectname", "同名项目"}, {"projectman", "丙"}, {"takeunit1", "单位丙"}});
    openAll();
    projects().moveTo(1);
    QDir(folder.path()).mkdir("out");
    messages.fileAnswers.push_back(folder.file("out"));
    ctx().documentCommands->generateAllTaskBooks();
    EXPECT_EQ(messages.texts(Kind::ChooseFolder), QStringList{word::batchmessages::kChooseFolder});
    EXPECT_EQ(messages.count(Kind::Show), 1);
    EXPECT_EQ(
        messages.texts(Kind::Inform),
        QStringList{word::batchmessages::kDone.arg(3).arg(QDir::toNativeSeparators(folder.file("out")))});
    QStringList files = QDir(folder.file("out")).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files, (QStringList{"同名项目(2).doc", "同名项目(2).pdf", "同名项目.doc", "同名项目.pdf",
                                  "调查_研究.doc", "调查_研究.pdf"}));
    EXPECT_TRUE(compact(pdfPages(folder.file("out/同名项目(2).pdf")).join("")).contains("丙"));
    // The query stands where it stood, and the progress window has its own title back.
    EXPECT_EQ(projects().currentRow(), 1);
    EXPECT_EQ(ctx().progressWindow->windowTitle(), "正在导入数据......");
    EXPECT_FALSE(ctx().progressWindow->isVisible());
}

// LibreOffice under a locale this machine has not generated: the names stay Chinese all the same.
TEST_F(PdfTest, ChineseNamesConvertUnderALocaleThatIsNotGenerated) {
    const QByteArray lang = qgetenv("LANG");
    const QByteArray all = qgetenv("LC_ALL");
    qputenv("LANG", "zh_CN.UTF-8");
    qputenv("LC_ALL", "zh_CN.UTF-8");
    add({{"projectname", "区域创新 研究"}, {"projectman", "甲"}, {"takeunit1", "单位甲"}});
    add({{"projectname", "城乡统筹研究"}, {"projectman", "乙"}, {"takeunit1", "单位乙"}});
    openAll();
    ctx().documentCommands->generateDesignTaskBookPdf(word::Origin::ProjectListPage);
    QDir(folder.path()).mkdir("输出");
    messages.fileAnswers.push_back(folder.file("输出"));
    ctx().documentCommands->generateAllTaskBooks();
    qputenv("LANG", lang);
    all.isNull() ? qunsetenv("LC_ALL") : qputenv("LC_ALL", all);
    EXPECT_EQ(
        messages.shown(),
        QStringList{word::batchmessages::kDone.arg(2).arg(QDir::toNativeSeparators(folder.file("输出")))});
    EXPECT_TRUE(
        compact(pdfPages(folder.file("设计任务书.pdf")).join("")).contains("软科学研究计划管理办公室制"));
    EXPECT_TRUE(compact(pdfPages(folder.file("输出/区域创新 研究.pdf")).join("")).contains("区域创新研究"));
    EXPECT_TRUE(compact(pdfPages(folder.file("输出/城乡统筹研究.pdf")).join("")).contains("城乡统筹研究"));
}

}  // namespace
