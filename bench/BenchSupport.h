#pragma once

#include <QElapsedTimer>
#include <QString>

#include <functional>
#include <map>

namespace meridell::bench {

using Case = std::function<void()>;
std::map<QString, Case>& registry();

struct Register {
    Register(const char* name, Case c) { registry()[QString::fromLatin1(name)] = std::move(c); }
};

#define MERIDELL_BENCH(name)                                                  \
    static void name();                                                       \
    static const ::meridell::bench::Register name##_registered(#name, &name); \
    static void name()

// Milliseconds taken by `work`, the best of `repeat` runs.
double timeMs(const std::function<void()>& work, int repeat = 1);
// Writes out what earlier steps left in the disk's cache, so that a measurement that syncs its
// own files does not wait for the setup's.
void settleDisk();
// Peak resident memory of this process so far, in MB.
double peakMemoryMb();
// Current resident memory in MB.
double residentMemoryMb();

// Prints "figure: value unit (limit L, ratio to limit R)" and, with a baseline, its ratio to it.
void report(const QString& figure, double value, const QString& unit, double limit, double baseline = 0,
            const QString& baselineName = {});

// A fresh application folder in a temporary directory (built layout), kept until the process ends.
QString freshAppFolder();

}  // namespace meridell::bench
