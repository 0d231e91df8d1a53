#include "word/core/OfficeProcess.h"

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

namespace meridell::word {

namespace {

constexpr qsizetype kLongestSaid = 4000;  // characters of the converter's own words kept for a message

QString lastPart(const QByteArray& text) {
    QString said = QString::fromUtf8(text).trimmed();
    return said.size() > kLongestSaid ? said.right(kLongestSaid) : said;
}

}  // namespace

QProcessEnvironment officeEnvironment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    return environment;
}

OfficeProcess::OfficeProcess(QObject* parent) : QObject(parent) {
    force_.setSingleShot(true);
    connect(&force_, &QTimer::timeout, this, [this] { signalGroup(SIGKILL); });
    connect(&process_, &QProcess::readyReadStandardOutput, this, &OfficeProcess::readOutput);
    connect(&process_, &QProcess::finished, this, &OfficeProcess::processEnded);
    connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            startFailed();
        }
    });
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    // The run leads a session and so a process group of its own, which its children inherit.
    process_.setChildProcessModifier([] { ::setsid(); });
}

OfficeProcess::~OfficeProcess() {
    disconnect(&process_, nullptr, this, nullptr);
    if (running_) {
        signalGroup(SIGKILL);
        process_.kill();
        process_.waitForFinished(5000);
    }
}

void OfficeProcess::start(const QString& program, const QStringList& arguments) {
    pending_.clear();
    output_.clear();
    stopping_ = false;
    running_ = true;
    process_.setProcessEnvironment(officeEnvironment());
    process_.start(program, arguments);
    group_ = process_.processId();
}

void OfficeProcess::stop(int graceMs) {
    if (!running_ || stopping_) {
        return;
    }
    stopping_ = true;
    signalGroup(SIGTERM);
    force_.start(graceMs);
}

void OfficeProcess::signalGroup(int signal) const {
    if (group_ <= 1 || !running_) {  // never this program's own group, nor every process
        return;
    }
    // Before the child has made its group, the group is not there yet: the process alone is.
    if (::kill(-pid_t(group_), signal) != 0) {
        ::kill(pid_t(group_), signal);
    }
}

void OfficeProcess::readOutput() {
    pending_ += process_.readAllStandardOutput();
    qsizetype end = pending_.lastIndexOf('\n');
    if (end < 0) {
        return;
    }
    const QByteArray lines = pending_.left(end + 1);
    pending_.remove(0, end + 1);
    if (output_.size() < kLongestSaid) {
        output_ += lines;
    }
    for (const QByteArray& line : lines.split('\n')) {
        // The converter names each document with a line of its own as it writes it.
        if (line.startsWith("convert ")) {
            emit documentDone();
        }
    }
}

void OfficeProcess::processEnded() {
    readOutput();
    // Whatever the run left behind in its group (a child that outlived it) ends with it. The
    // process itself is gone, so only its group is named.
    if (group_ > 1) {
        ::kill(-pid_t(group_), SIGKILL);
    }
    force_.stop();
    running_ = false;
    group_ = 0;
    const bool ok = !stopping_ && process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
    QString said = lastPart(process_.readAllStandardError());
    if (said.isEmpty()) {
        said = lastPart(output_ + pending_);
    }
    emit ended(ok, said);
}

void OfficeProcess::startFailed() {
    if (!running_) {
        return;
    }
    running_ = false;
    group_ = 0;
    emit ended(false, process_.errorString());
}

}  // namespace meridell::word
