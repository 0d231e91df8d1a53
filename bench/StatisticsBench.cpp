#include "BenchData.h"
#include "BenchSupport.h"
#include "app/AppContext.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "data/Databases.h"
#include "lists/QueryPage.h"
#include "statistics/StatisticsWindow.h"
#include "ui/MessageService.h"

#include <QAction>
#include <QApplication>
#include <QSqlQuery>

#include <cstdio>

using namespace meridell;

namespace {

// Answers every box silently and prints errors.
class QuietMessages : public ui::MessageService {
public:
    void inform(const QString&) override {}
    bool confirm(const QString&) override { return true; }
    void beep() override {}
    void reportError(const QString& text) override {
        std::fprintf(stderr, "error: %s\n", text.toUtf8().constData());
    }
    QString chooseOpenFile(const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString chooseSaveFile(const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    int runModal(QDialog&) override { return 0; }
    void showWindow(QWidget& window) override { window.show(); }
    bool openDocument(const QString&) override { return true; }
};

// Gives the grouped columns the spread of a real round: 20 fields, 4 unit natures, 18 years,
// 12 titles, 4 degrees and 500 units, with some left empty or null.
void spreadGroups(const QString& databasePath) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("spread"));
    db.setDatabaseName(databasePath);
    db.open();
    QSqlQuery q(db);
    q.exec(
        QStringLiteral("update table1 set projectdomain = case when rowid % 50 = 0 then null else '领域' || "
                       "(rowid % 20) end,"
                       " character = '性质' || (rowid % 4), yearstart = case when rowid % 30 = 0 then '' else"
                       " cast(2003 + rowid % 18 as text) end, technicalstandard = '职称' || (rowid % 12),"
                       " degree = '学位' || (rowid % 4), takeunit1 = '承担单位' || (rowid % 500)"));
    q.finish();
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("spread"));
}

// Every page of the window laid out and painted: its table and its chart.
void paintEveryPage(statistics::StatisticsWindow& form) {
    for (int i = 0; i < form.dimensionTabs->count(); ++i) {
        form.dimensionTabs->setCurrentIndex(i);
        form.dimensionTabs->currentWidget()->grab();
    }
}

}  // namespace

// "统计分析" on the query page over 20,000 projects with about 20 KB of memo text each.
MERIDELL_BENCH(statistics_window) {
    QuietMessages messages;
    const QString folder = bench::freshAppFolder();
    const QString path = folder + "/source/project.mdb";
    bench::fillProjects(path, 20000, 20 * 1024);
    spreadGroups(path);
    auto context = app::startUp(folder, messages);
    context->mainWindowWidget->show();
    context->mainWindowWidget->queryAction->trigger();  // 管理查询: all projects
    QApplication::processEvents();
    lists::QueryPage& page = *context->queryPage;

    const statistics::ProjectSet all = data::ProjectQuery::allProjects();
    const double grouping =
        bench::timeMs([&] { statistics::computeStatistics(context->databases->mainConnection, all); }, 3);

    QElapsedTimer first;
    first.start();
    page.statisticsButton->click();
    paintEveryPage(*page.statisticsWindow);
    const double firstMs = double(first.nsecsElapsed()) / 1e6;
    const double again = bench::timeMs(
        [&] {
            page.statisticsButton->click();
            paintEveryPage(*page.statisticsWindow);
        },
        3);
    std::printf("statistics: %lld projects, %zu units kept\n",
                static_cast<long long>(page.statisticsWindow->statistics().projects),
                page.statisticsWindow->statistics().tables.back().rows.size());
    bench::report("统计分析 to every table and chart shown (first time)", firstMs, "ms", 150, grouping,
                  "the grouping statement alone");
    bench::report("统计分析 to every table and chart shown (best of 3 more)", again, "ms", 150, grouping,
                  "the grouping statement alone");
}
