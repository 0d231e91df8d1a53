// Runs each benchmark case in a fresh process, so that peak memory belongs to that case alone.
// `meridell_bench` runs them all; `meridell_bench <case>...` runs the named ones in this process.
#include "BenchSupport.h"

#include <QApplication>
#include <QProcess>

#include <cstdio>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        int failed = 0;
        for (const auto& [name, _] : meridell::bench::registry()) {
            std::printf("== %s\n", name.toUtf8().constData());
            std::fflush(stdout);
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedChannels);
            child.start(app.applicationFilePath(), {name});
            child.waitForFinished(-1);
            failed += child.exitCode() != 0 ? 1 : 0;
        }
        return failed;
    }
    for (const QString& name : args) {
        auto it = meridell::bench::registry().find(name);
        if (it == meridell::bench::registry().end()) {
            std::fprintf(stderr, "no benchmark %s\n", name.toUtf8().constData());
            return 2;
        }
        it->second();
    }
    return 0;
}
