#include "BenchData.h"
#include "BenchSupport.h"
#include "data/Connection.h"
#include "data/Dataset.h"
#include "data/ProjectQuery.h"
#include "word/core/Document.h"
#include "word/core/Fills.h"
#include "word/core/Generation.h"
#include "word/core/OfficeProcess.h"
#include "word/core/PdfExport.h"
#include "word/core/TaskBookBatch.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUrl>

using namespace meridell;

namespace {

// Chinese text of `bytes` GB2312 bytes in lines of sixty characters.
QString memo(int bytes) {
    QString text;
    int line = 0;
    while (bytes >= 2) {
        if (line == 60 && bytes >= 4) {
            text += "\r\n";
            bytes -= 2;
            line = 0;
        }
        text += QChar(char16_t(0x7814 + text.size() % 7));
        bytes -= 2;
        ++line;
    }
    return text;
}

// Every memo of the one project at the most its field accepts.
void memosAtTheirLimits(data::Connection& connection) {
    const std::pair<const char*, int> limits[] = {
        {"projectbase", 4500},   {"projectcontent", 4500},   {"projectmethod", 4500}, {"projectplan", 2400},
        {"projectresult", 2400}, {"projectcondition", 4500}, {"workdivide", 1200},    {"mainpersons", 4500},
        {"unitpoint", 500},      {"directorpoint", 500},     {"remark", 200},         {"maincontent", 1000}};
    for (const auto& [column, bytes] : limits) {
        QSqlQuery q(connection.database());
        q.prepare(QStringLiteral("update table1 set %1 = ?").arg(QLatin1String(column)));
        q.addBindValue(memo(bytes));
        q.exec();
    }
}

word::GenerationContext runContext(const QString& folder, word::OwnWordApplication& own, bool& first) {
    return {AppPlaces::inPlace(folder), own, first,
            [](const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); }};
}

}  // namespace

// The design task book of a project whose memos are at their limits, with 50 prior projects and 50
// staff rows: the whole procedure from the template to the saved output, in-process.
MERIDELL_BENCH(word_design_task_book) {
    QString folder = bench::freshAppFolder();
    bench::fillProjects(folder + "/source/project.mdb", 1, 0, 50, 50);
    data::Connection connection("bench");
    connection.setDatabaseFile(folder + "/source/project.mdb");
    connection.open();
    memosAtTheirLimits(connection);
    data::Dataset project("projectQuery"), prior("pastProjectsQuery"), staff("staffQuery");
    for (data::Dataset* d : {&project, &prior, &staff}) {
        d->setConnection(&connection);
    }
    project.setQuery(data::ProjectQuery::allProjects());
    project.open();

    word::OwnWordApplication own;
    bool first = true;
    word::GenerationContext context = runContext(folder, own, first);
    double baseline = bench::timeMs(
        [&] {
            word::Document document;
            document.open(folder + "/source/bookreport.doc");
            document.saveAs(folder + "/unchanged.doc");
        },
        20);
    double ms = bench::timeMs(
        [&] {
            word::generate(context, word::designTaskBook(), [&](word::Document& document) {
                word::fillDesignTaskBook(document, project, prior, staff);
            });
        },
        20);
    bench::report("design task book, memos at their limits, 50 prior projects and 50 staff", ms, "ms", 8,
                  baseline, "opening and saving the template unchanged");
}

// The project list of 10,000 projects, from the template to the saved output.
MERIDELL_BENCH(word_project_list) {
    QString folder = bench::freshAppFolder();
    bench::fillProjects(folder + "/source/project.mdb", 10000, 0);
    data::Connection connection("bench");
    connection.setDatabaseFile(folder + "/source/project.mdb");
    connection.open();

    double baseline = bench::timeMs([&] {
        QSqlQuery q(connection.database());
        q.setForwardOnly(true);
        q.exec(
            "select classcode, projectname, projectdomain, projectman, technicalstandard, takeunit1 from "
            "table1");
        qint64 sum = 0;
        while (q.next()) {
            for (int c = 0; c < 6; ++c) {
                sum += q.value(c).toString().size();
            }
        }
    });

    data::Dataset projects("projectQuery");
    projects.setConnection(&connection);
    projects.setQuery(data::ProjectQuery::allProjects());
    projects.open();
    word::OwnWordApplication own;
    bool first = true;
    word::GenerationContext context = runContext(folder, own, first);
    double ms = bench::timeMs([&] {
        word::generate(context, word::projectList(false),
                       [&](word::Document& document) { word::fillProjectList(document, projects); });
    });
    bench::report("project list of 10,000 projects", ms, "ms", 300, baseline,
                  "plain SQLite read of its columns");
    bench::report("project list peak memory", bench::peakMemoryMb(), "MB", 100);
}

namespace {

// The design task books of 100 full projects: every memo at its limit, 10 prior projects and 10
// staff rows each.
struct FullProjects {
    QString folder = bench::freshAppFolder();
    data::Connection connection{"bench"};
    data::Dataset project{"projectQuery"}, prior{"pastProjectsQuery"}, staff{"staffQuery"};

    explicit FullProjects(int count) {
        bench::fillProjects(folder + "/source/project.mdb", count, 0, 10, 10);
        connection.setDatabaseFile(folder + "/source/project.mdb");
        connection.open();
        memosAtTheirLimits(connection);
        for (data::Dataset* d : {&project, &prior, &staff}) {
            d->setConnection(&connection);
        }
        project.setQuery(data::ProjectQuery::allProjects());
        project.open();
    }
};

}  // namespace

// LibreOffice alone: one run converting the documents, with the profile of the first worker.
static double officeAloneMs(const word::PdfConverter& converter, const QStringList& documents,
                            const QString& out) {
    QDir().mkpath(out);
    return bench::timeMs([&] {
        QProcess office;
        office.setProcessEnvironment(word::officeEnvironment());
        office.start(
            converter.findProgram(),
            QStringList{"-env:UserInstallation=" + QUrl::fromLocalFile(converter.profile(1)).toString(),
                        "--headless", "--norestore", "--nolockcheck", "--convert-to", "pdf", "--outdir",
                        out} +
                documents);
        office.waitForFinished(-1);
    });
}

// All task books of a query result of 100 projects, as documents and PDFs, against LibreOffice
// alone converting the same 100 documents in one run.
MERIDELL_BENCH(word_all_task_books_pdf) {
    FullProjects projects(100);
    const word::PdfConverter converter = word::applicationPdfConverter(AppPlaces::inPlace(projects.folder));
    if (converter.findProgram().isEmpty()) {
        std::printf("all task books as PDF: LibreOffice is not installed, not measured\n");
        return;
    }
    // Every worker's profile made before the measurement.
    const QString warm = projects.folder + "/warm";
    QDir().mkpath(warm);
    QStringList warmDocuments;
    for (int i = 0; i < converter.workers; ++i) {
        warmDocuments << warm + QStringLiteral("/%1.doc").arg(i);
        QFile::copy(projects.folder + "/source/bookreport.doc", warmDocuments.back());
    }
    converter.convert(warmDocuments, warm);
    const QString out = projects.folder + "/all";
    QDir().mkpath(out);
    word::BatchContext batch{projects.folder, converter, {}};
    double ms = bench::timeMs(
        [&] { word::writeAllTaskBooks(batch, projects.project, projects.prior, projects.staff, out); });
    QStringList documents;
    for (const QString& name : QDir(out).entryList({"*.doc"}, QDir::Files)) {
        documents << out + "/" + name;
    }
    const double baseline = officeAloneMs(converter, documents, projects.folder + "/alone");
    bench::report("100 task books as documents and PDFs, in parallel", ms / 1000, "s", 30);
    bench::report("100 task books as PDFs, against LibreOffice alone on the same 100 documents",
                  ms / baseline, "x", 0.7, 0, {});
    std::printf("  (LibreOffice alone: %.2f s, %lld documents; %d runs at once)\n", baseline / 1000,
                qlonglong(documents.size()), converter.workers);
}

// One task book as a PDF from the click: the document, LibreOffice's start and the conversion.
MERIDELL_BENCH(word_task_book_pdf) {
    FullProjects projects(1);
    const word::PdfConverter converter = word::applicationPdfConverter(AppPlaces::inPlace(projects.folder));
    if (converter.findProgram().isEmpty()) {
        std::printf("task book as PDF: LibreOffice is not installed, not measured\n");
        return;
    }
    word::OwnWordApplication own;
    bool first = true;
    word::GenerationContext context = runContext(projects.folder, own, first);
    auto click = [&] {
        QString document = word::generate(context, word::designTaskBook(), [&](word::Document& d) {
            word::fillDesignTaskBook(d, projects.project, projects.prior, projects.staff);
        });
        converter.convert({document}, projects.folder);
    };
    double firstMs = bench::timeMs(click);  // with a new LibreOffice profile
    double ms = bench::timeMs(click, 3);
    const QString document = projects.folder + "/设计任务书.doc";
    double alone = bench::timeMs([&] { converter.convert({document}, projects.folder + "/source"); }, 3);
    bench::report("task book as PDF, from the click", ms, "ms", 2000, alone,
                  "LibreOffice alone converting the document");
    bench::report("task book as PDF, first time (new LibreOffice profile)", firstMs, "ms", 2000);
}
