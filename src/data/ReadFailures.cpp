#include "data/ReadFailures.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMetaObject>

namespace meridell::data {

namespace {
// An error shown this long before a failed read (which may itself have waited for a lock that
// long) was the same failure.
constexpr qint64 kSameMomentMilliseconds = 8000;

qint64 now() {
    return QDateTime::currentMSecsSinceEpoch();
}
}  // namespace

ReadFailures& ReadFailures::instance() {
    static ReadFailures failures;
    return failures;
}

void ReadFailures::setReporter(std::function<void(const QString&)> reporter) {
    reporter_ = std::move(reporter);
    told_ = false;
    pending_ = false;
    restUntil_ = 0;
    shownUntil_ = 0;
}

void ReadFailures::failed(const QString& text) {
    const qint64 t = now();
    restUntil_ = t + rest_;
    if (told_) {
        return;
    }
    told_ = true;
    if (t < shownUntil_) {
        return;  // the error the user has just been shown was this failure
    }
    pending_ = true;
    // A message box opened inside a paint would paint again inside it: it waits for the event loop.
    if (QCoreApplication* app = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(
            app, [this, text] { deliver(text); }, Qt::QueuedConnection);
    } else {
        deliver(text);
    }
}

void ReadFailures::deliver(const QString& text) {
    if (!pending_) {
        return;
    }
    pending_ = false;
    if (reporter_) {
        reporter_(readFailureText(text));
    }
}

void ReadFailures::shown() {
    shownUntil_ = now() + kSameMomentMilliseconds;
    pending_ = false;
}

void ReadFailures::rearm() {
    told_ = false;
    restUntil_ = 0;
}

bool ReadFailures::resting() const {
    return restUntil_ != 0 && now() < restUntil_;
}

QString readFailureText(const QString& engineText) {
    return QStringLiteral("数据库暂时无法读取，表格中有些内容未能显示，请稍后再试。\n%1").arg(engineText);
}

}  // namespace meridell::data
