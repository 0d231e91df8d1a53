#include "support/PgServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <pwd.h>
#include <signal.h>
#include <unistd.h>

namespace meridell::test {

namespace {

const QString kBin = QStringLiteral("/usr/lib/postgresql/15/bin/");

// The data folders of the servers running now, so that an abnormal end of the test program can
// still stop them: each slot holds the postmaster's pid.
constexpr int kSlots = 16;
std::atomic<pid_t> g_postmasters[kSlots];

void stopAllServers() {
    for (auto& slot : g_postmasters) {
        if (const pid_t pid = slot.exchange(0); pid > 0) {
            ::kill(pid, SIGQUIT);  // the server's own "immediate" shutdown
        }
    }
}

void onFatalSignal(int signal) {
    stopAllServers();
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

void installExitHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        std::atexit(stopAllServers);
        for (int signal : {SIGABRT, SIGSEGV, SIGTERM, SIGINT, SIGBUS, SIGFPE}) {
            ::signal(signal, onFatalSignal);
        }
    });
}

void remember(pid_t pid, pid_t previous) {
    for (auto& slot : g_postmasters) {
        pid_t expected = previous;
        if (slot.compare_exchange_strong(expected, pid)) {
            return;
        }
    }
}

// The first line of postmaster.pid is the server's pid.
pid_t postmasterPid(const QString& data) {
    QFile file(data + QStringLiteral("/postmaster.pid"));
    if (!file.open(QIODevice::ReadOnly)) {
        return 0;
    }
    return pid_t(file.readLine().trimmed().toInt());
}

bool isRoot() {
    return ::geteuid() == 0;
}

}  // namespace

bool PgServer::installed() {
    return QFileInfo(kBin + QStringLiteral("initdb")).isExecutable() &&
           QFileInfo(kBin + QStringLiteral("pg_ctl")).isExecutable();
}

PgServer::PgServer() {
    if (!installed()) {
        why_ = QStringLiteral("no PostgreSQL 15 programs in ") + kBin;
        return;
    }
    installExitHandlers();
    // Any port will do: the server listens on its own socket folder only.
    port_ = 20000 + int(::getpid() % 20000);
    running_ = make();
}

PgServer::~PgServer() {
    if (running_) {
        stop();
    }
    const pid_t pid = postmasterPid(folder_.filePath(QStringLiteral("data")));
    if (pid > 0) {
        ::kill(pid, SIGQUIT);
    }
}

bool PgServer::run(const QStringList& command, bool asOwner) {
    QStringList arguments = command;
    QString program = arguments.takeFirst();
    if (asOwner && isRoot()) {
        arguments = QStringList{QStringLiteral("-u"), user_, QStringLiteral("--"), program} + arguments;
        program = QStringLiteral("runuser");
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        why_ = QStringLiteral("%1 %2 failed: %3")
                   .arg(program, arguments.join(u' '), QString::fromLocal8Bit(process.readAll()));
        return false;
    }
    return true;
}

bool PgServer::make() {
    if (!folder_.isValid()) {
        why_ = QStringLiteral("no temporary folder");
        return false;
    }
    if (isRoot()) {
        const passwd* nobody = ::getpwnam("nobody");
        if (!nobody ||
            ::chown(folder_.path().toLocal8Bit().constData(), nobody->pw_uid, nobody->pw_gid) != 0) {
            why_ = QStringLiteral("the temporary folder cannot be given to the user nobody");
            return false;
        }
        user_ = QStringLiteral("nobody");
    } else {
        const passwd* me = ::getpwuid(::geteuid());
        user_ = me ? QString::fromLocal8Bit(me->pw_name) : QStringLiteral("postgres");
    }
    const QString data = folder_.filePath(QStringLiteral("data"));
    if (!run({kBin + QStringLiteral("initdb"), QStringLiteral("-D"), data, QStringLiteral("-U"), user_,
              QStringLiteral("--auth=trust"), QStringLiteral("-E"), QStringLiteral("UTF8"),
              QStringLiteral("--locale=C.UTF-8"), QStringLiteral("--no-sync")},
             true)) {
        return false;
    }
    if (!start()) {
        return false;
    }
    return run({kBin + QStringLiteral("createdb"), QStringLiteral("-h"), folder_.path(), QStringLiteral("-p"),
                QString::number(port_), QStringLiteral("-U"), user_, database_},
               false);
}

QString PgServer::uri(const QString& database) const {
    // Put together piece by piece: the escaped folder holds "%" signs.
    return QStringLiteral("postgresql://") + user_ + QStringLiteral("@/") + database +
           QStringLiteral("?host=") + QString::fromLatin1(QUrl::toPercentEncoding(folder_.path())) +
           QStringLiteral("&port=") + QString::number(port_);
}

QString PgServer::createDatabase(const QString& name) {
    if (!run({kBin + QStringLiteral("createdb"), QStringLiteral("-h"), folder_.path(), QStringLiteral("-p"),
              QString::number(port_), QStringLiteral("-U"), user_, name},
             false)) {
        return {};
    }
    return uri(name);
}

bool PgServer::stop() {
    const QString data = folder_.filePath(QStringLiteral("data"));
    const pid_t pid = postmasterPid(data);
    const bool stopped = run({kBin + QStringLiteral("pg_ctl"), QStringLiteral("stop"), QStringLiteral("-D"),
                              data, QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("-w")},
                             true);
    if (stopped) {
        remember(0, pid);
    }
    return stopped;
}

bool PgServer::start() {
    const QString data = folder_.filePath(QStringLiteral("data"));
    const QString options =
        QStringLiteral("-k %1 -c listen_addresses='' -p %2 -c fsync=off").arg(folder_.path()).arg(port_);
    if (!run({kBin + QStringLiteral("pg_ctl"), QStringLiteral("start"), QStringLiteral("-D"), data,
              QStringLiteral("-w"), QStringLiteral("-l"), folder_.filePath(QStringLiteral("server.log")),
              QStringLiteral("-o"), options},
             true)) {
        return false;
    }
    remember(postmasterPid(data), 0);
    return true;
}

}  // namespace meridell::test
