#include "BenchData.h"
#include "BenchSupport.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "data/Connection.h"
#include "data/Databases.h"
#include "record/RecordForm.h"
#include "ui/MessageService.h"

#include <QApplication>
#include <QSqlQuery>

#include <cstdio>

using namespace meridell;

namespace {

// Messages are printed instead of shown: a benchmark must not wait for a box.
class PrintedMessages : public ui::MessageService {
public:
    void inform(const QString& text) override { print("message", text); }
    bool confirm(const QString& text) override {
        print("confirm", text);
        return true;
    }
    void beep() override {}
    void reportError(const QString& text) override { print("error", text); }
    QString chooseOpenFile(const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString chooseSaveFile(const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    int runModal(QDialog&) override { return 0; }
    void showWindow(QWidget&) override {}
    bool openDocument(const QString&) override { return true; }

private:
    static void print(const char* kind, const QString& text) {
        std::printf("  (%s: %s)\n", kind, text.toUtf8().constData());
    }
};

struct RecordBench {
    QString folder = bench::freshAppFolder();
    PrintedMessages messages;
    std::unique_ptr<app::AppContext> context;

    record::RecordForm& form() { return *context->recordForm; }

    // 100 projects with about 20 KB of memo text each, then the measured project with 200 prior
    // projects and 200 staff rows.
    RecordBench() {
        QString path = data::mainDatabasePath(folder);
        bench::fillProjects(path, 100, 20 * 1024);
        bench::fillProjects(path, 1, 20 * 1024, 200, 200, QStringLiteral("目标项目"));
        context = app::startUp(folder, messages);
        context->mainWindowWidget->show();
        context->mainWindowWidget->applyTriggered();
        QApplication::processEvents();
    }

    void openTarget() {
        data::Dataset& projects = form().projectQuery;
        projects.last();
        form().openEdit();
        QApplication::processEvents();
    }
};

}  // namespace

// The record form opened in edit mode on a project with 200 prior projects and 200 staff rows,
// then "保存修改" on it, against plain SQLite updates of the same rows in one transaction.
MERIDELL_BENCH(record_open_edit_and_save_changes) {
    RecordBench b;
    double open = bench::timeMs([&] { b.openTarget(); });
    if (b.form().pastProjectsQuery.recordCount() != 200 || b.form().staffQuery.recordCount() != 200) {
        std::printf("  (unexpected row counts %d, %d)\n", b.form().pastProjectsQuery.recordCount(),
                    b.form().staffQuery.recordCount());
    }
    bench::report("record form opened in edit mode (200 + 200 rows)", open, "ms", 50);

    data::Connection& connection = b.context->databases->mainConnection;
    double baseline = bench::timeMs(
        [&] {
            data::Transaction t(connection);
            QSqlQuery q(connection.database());
            q.prepare("update table1 set registerdate='2026-12-08' where projectname like '目标项目%'");
            q.exec();
            for (const char* table : {"table2", "table3"}) {
                QSqlQuery ids(connection.database());
                ids.exec(QStringLiteral("select rowid from %1 where projectname like '目标项目%'")
                             .arg(QLatin1String(table)));
                QSqlQuery u(connection.database());
                u.prepare(QStringLiteral("update %1 set projectman=projectman, name=name where rowid=?")
                              .arg(QLatin1String(table)));
                while (ids.next()) {
                    u.bindValue(0, ids.value(0));
                    u.exec();
                }
            }
            t.commit();
        },
        3);
    double save = bench::timeMs([&] { b.context->guard([&] { b.form().Button2Click(); }); }, 3);
    bench::report("保存修改 on that project", save, "ms", 50, baseline, "plain SQLite updates");
    double reopen = bench::timeMs(
        [&] {
            b.form().Button3Click();
            b.openTarget();
        },
        3);
    bench::report("record form opened again in edit mode", reopen, "ms", 50);
}

// "保存新增" of a new project among 101 stored ones.
MERIDELL_BENCH(record_save_new) {
    RecordBench b;
    double best = 1e300;
    for (int i = 0; i < 3; ++i) {
        b.form().openNew();
        QApplication::processEvents();
        data::Dataset& row = b.form().projectQuery;
        row.setValue("classcode", "A01");
        row.setValue("projectname", QStringLiteral("新项目%1").arg(i));
        row.setValue("projectman", QStringLiteral("张三"));
        row.setValue("takeunit1", QStringLiteral("省社科院"));
        row.setValue("idcard", "123456197809123456");
        best = std::min(best, bench::timeMs([&] { b.form().Button4Click(); }));
        b.form().Button3Click();
    }
    bench::report("保存新增 (project row and leader's staff row)", best, "ms", 20);
}
