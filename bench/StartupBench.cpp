#include "BenchSupport.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "ui/MessageService.h"

#include <QApplication>

using namespace meridell;

// Start-up to the main window shown and painted once.
MERIDELL_BENCH(startup) {
    QString folder = bench::freshAppFolder();
    ui::DialogMessageService messages;
    std::unique_ptr<app::AppContext> context;
    double ms = bench::timeMs([&] {
        context = app::startUp(folder, messages);
        context->mainWindowWidget->show();
        context->mainWindowWidget->grab();
        QApplication::processEvents();
    });
    bench::report("start-up to main window shown", ms, "ms", 300);
    bench::report("start-up peak memory", bench::peakMemoryMb(), "MB", 100);
}
