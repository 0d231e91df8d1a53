#include "BenchSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <unistd.h>

namespace meridell::bench {

std::map<QString, Case>& registry() {
    static std::map<QString, Case> cases;
    return cases;
}

double timeMs(const std::function<void()>& work, int repeat) {
    double best = 1e300;
    for (int i = 0; i < repeat; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

void settleDisk() {
    ::sync();
}

static double statusField(const char* key) {
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith(key)) {
            return line.mid(qstrlen(key)).trimmed().split(' ').first().toDouble() / 1024.0;
        }
    }
    return 0;
}

double peakMemoryMb() {
    return statusField("VmHWM:");
}
double residentMemoryMb() {
    return statusField("VmRSS:");
}

void report(const QString& figure, double value, const QString& unit, double limit, double baseline,
            const QString& baselineName) {
    QString line = QStringLiteral("%1: %2 %3 (limit %4, %5 of limit)")
                       .arg(figure)
                       .arg(value, 0, 'f', 2)
                       .arg(unit)
                       .arg(limit)
                       .arg(QStringLiteral("%1%").arg(100.0 * value / limit, 0, 'f', 0));
    if (baseline > 0) {
        line += QStringLiteral(", %1x %2 (%3 %4)")
                    .arg(value / baseline, 0, 'f', 2)
                    .arg(baselineName)
                    .arg(baseline, 0, 'f', 2)
                    .arg(unit);
    }
    line += QLatin1String(value <= limit ? "  OK" : "  OVER LIMIT");
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

QString freshAppFolder() {
    static QTemporaryDir dir;
    static int n = 0;
    QString path = dir.path() + QStringLiteral("/app%1").arg(++n);
    const QString built = QStringLiteral(MERIDELL_BUILD_APP_DIR);
    QDirIterator it(built, {"*.mdb", "*.bmp", "*.html", "*.doc"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QString source = it.next();
        QString target = path + "/" + QDir(built).relativeFilePath(source);
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::copy(source, target);
    }
    return path;
}

}  // namespace meridell::bench
