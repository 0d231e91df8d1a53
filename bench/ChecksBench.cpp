#include "BenchData.h"
#include "BenchSupport.h"
#include "checks/core/HandInCheck.h"
#include "data/Connection.h"

#include <QSqlQuery>

#include <ctime>

using namespace meridell;

namespace {

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

}  // namespace

// The hand-in check over 5,000 projects with about 20 KB of memo text each, three prior projects
// and five staff members apiece (ten findings a project), against a plain loop reading every row
// of the three tables. The processor time is given too: on a busy machine the elapsed time also
// counts the waits for the processor.
MERIDELL_BENCH(checks_hand_in_check) {
    QString folder = bench::freshAppFolder();
    QString path = folder + "/source/project.mdb";
    bench::fillProjects(path, 5000, 20 * 1024, 3, 5);

    data::Connection connection("bench");
    connection.setDatabaseFile(path);
    connection.open();

    qint64 sum = 0;
    double baseline = bench::timeMs([&] {
        for (const char* sql : {"select * from table1", "select * from table2", "select * from table3"}) {
            QSqlQuery q(connection.database());
            q.setForwardOnly(true);
            q.exec(QString::fromLatin1(sql));
            while (q.next()) {
                sum += q.value(1).toString().size();
            }
        }
    });
    std::size_t found = 0;
    double cpu = 0;
    double ms = bench::timeMs([&] {
        const double before = cpuMs();
        found = checks::checkProjects(connection).size();
        cpu = cpuMs() - before;
    });
    std::printf("findings: %zu\n", found);
    bench::report("Hand-in check over 5,000 projects", ms, "ms", 500, baseline,
                  "plain read of the three tables");
    bench::report("Hand-in check over 5,000 projects, processor time", cpu, "ms", 500);
}
