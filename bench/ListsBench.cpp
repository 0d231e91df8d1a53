#include "BenchData.h"
#include "BenchSupport.h"
#include "app/MainUnit.h"
#include "app/MessageService.h"
#include "app/Startup.h"
#include "lists/ApplyUnit.h"
#include "lists/ProjectGrid.h"
#include "lists/SelectUnit.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QScrollBar>

#include <algorithm>

using namespace meridell;

namespace {

// Answers every box silently, so the pages run their commands without a user.
class SilentMessages : public app::MessageService {
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
    int runModal(QDialog&) override { return 0; }
    void showWindow(QWidget&) override {}
    void openDocument(const QString&) override {}
};

constexpr int kProjects = 20000;
constexpr int kMemoBytes = 20 * 1024;

// 20,000 projects with about 20 KB of memo text each, and the program started on them.
std::unique_ptr<app::AppContext> startOnFullDatabase(SilentMessages& messages, QString* databasePath) {
    QString folder = bench::freshAppFolder();
    *databasePath = folder + "/source/project.mdb";
    bench::fillProjects(*databasePath, kProjects, kMemoBytes);
    auto context = app::startUp(folder, messages);
    context->openDocuments = false;
    context->MainForm->show();
    QApplication::processEvents();
    return context;
}

// Scrolls a grid from top to bottom one screen at a time, painting every screen; returns the
// slowest screen in ms and stores the mean.
double scrollThrough(lists::ProjectGrid* grid, double* meanMs) {
    QScrollBar* bar = grid->verticalScrollBar();
    bar->setValue(0);
    double worst = 0;
    double total = 0;
    int screens = 0;
    while (true) {
        double ms = bench::timeMs([&] { grid->viewport()->grab(); });
        worst = std::max(worst, ms);
        total += ms;
        ++screens;
        if (bar->value() >= bar->maximum()) {
            break;
        }
        bar->setValue(bar->value() + bar->pageStep());
    }
    *meanMs = total / screens;
    return worst;
}

}  // namespace

// "项目申报" on 20,000 full projects: the list docked and painted, then scrolled to the end.
MERIDELL_BENCH(lists_project_list) {
    SilentMessages messages;
    QString path;
    auto context = startOnFullDatabase(messages, &path);
    lists::TApplyForm& page = *context->ApplyForm;
    QAction* menu = context->MainForm->N1;

    QElapsedTimer first;
    first.start();
    menu->trigger();
    page.grab();
    double firstMs = first.nsecsElapsed() / 1e6;
    double ms = bench::timeMs(
        [&] {
            menu->trigger();
            page.grab();
        },
        3);
    bench::report("项目申报 to the list shown (first time)", firstMs, "ms", 300);
    bench::report("项目申报 to the list shown (best of 3 more)", ms, "ms", 300);

    double mean = 0;
    double worst = scrollThrough(page.DBGrid1, &mean);
    bench::report("list scrolled top to bottom, slowest screen", worst, "ms", 16);
    bench::report("list scrolled top to bottom, mean screen", mean, "ms", 16);
    bench::report("peak memory with the list open and scrolled", bench::peakMemoryMb(), "MB", 150);
}

// "查  询" with three criteria on 20,000 full projects, against the sqlite3 tool running the same
// statement on a copy of the database.
MERIDELL_BENCH(lists_query) {
    SilentMessages messages;
    QString path;
    auto context = startOnFullDatabase(messages, &path);
    context->MainForm->N2->trigger();
    lists::TSelectForm& page = *context->SelectForm;
    const int criteria[] = {0, 2, 5};  // 分类代码, 承担单位, 项目负责人
    const QString unitOrMan[] = {QStringLiteral("1"), QStringLiteral("承担单位1"), QStringLiteral("负责人1")};
    for (int i = 0; i < 3; ++i) {
        page.CheckBoxes[criteria[i]]->setChecked(true);
        static_cast<QLineEdit*>(page.Inputs[criteria[i]])->setText(unitOrMan[i]);
    }

    double firstMs = bench::timeMs([&] { page.Button1->click(); });
    double ms = bench::timeMs([&] { page.Button1->click(); }, 3);
    QString caption = page.GroupBox2->title();
    std::printf("%s\n", caption.toUtf8().constData());

    QString copy = path + ".copy";
    QFile::remove(copy);
    QFile::copy(path, copy);
    const QString statement = QStringLiteral(
        "select * from table1 where (classcode like '%1%') and (takeunit1 like '%承担单位1%') and "
        "(projectman like '%负责人1%');");
    double tool = bench::timeMs(
        [&] {
            QProcess sqlite;
            sqlite.setStandardOutputFile(QProcess::nullDevice());
            sqlite.start("sqlite3", {copy, statement});
            sqlite.waitForFinished(-1);
        },
        3);
    bench::report("查  询 with three criteria over 20,000 projects (first time)", firstMs, "ms", 150);
    bench::report("查  询 with three criteria over 20,000 projects (best of 3 more)", ms, "ms", 150, tool,
                  "sqlite3 tool, same statement");
    bench::report("查  询 time as a multiple of the sqlite3 tool", ms / tool, "x", 2);
    QFile::remove(copy);
}
