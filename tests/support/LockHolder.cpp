#include "support/LockHolder.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace meridell::test {

namespace {

QByteArray takeLock(LockHolder::Lock lock) {
    switch (lock) {
        case LockHolder::Lock::Shared:
            return "BEGIN; SELECT count(*) FROM table1;";
        case LockHolder::Lock::Reserved:
            return "BEGIN IMMEDIATE;";
        case LockHolder::Lock::Exclusive:
            return "BEGIN EXCLUSIVE;";
    }
    return {};
}

}  // namespace

const char* LockHolder::name(Lock lock) {
    switch (lock) {
        case Lock::Shared:
            return "Shared";
        case Lock::Reserved:
            return "Reserved";
        case Lock::Exclusive:
            return "Exclusive";
    }
    return "";
}

LockHolder::LockHolder(const QString& databasePath, Lock lock) {
    // -bail: a statement that fails ends the tool, so "held" is printed only with the lock taken.
    tool_.start(QStringLiteral("sqlite3"), {QStringLiteral("-bail"), databasePath});
    if (!tool_.waitForStarted(5000)) {
        ADD_FAILURE() << "sqlite3 does not start: " << tool_.errorString().toStdString();
        return;
    }
    tool_.write(takeLock(lock) + " SELECT 'held';\n");
    QByteArray out;
    QElapsedTimer clock;
    clock.start();
    while (!out.contains("held") && clock.elapsed() < 5000 && tool_.state() == QProcess::Running) {
        tool_.waitForReadyRead(100);
        out += tool_.readAllStandardOutput();
    }
    held_ = out.contains("held");
    if (!held_) {
        ADD_FAILURE() << "sqlite3 holds no " << name(lock)
                      << " lock: " << tool_.readAllStandardError().toStdString();
    }
}

LockHolder::~LockHolder() {
    release();
}

void LockHolder::release() {
    if (tool_.state() == QProcess::NotRunning) {
        held_ = false;
        return;
    }
    tool_.write("ROLLBACK;\n.quit\n");
    tool_.closeWriteChannel();
    if (!tool_.waitForFinished(5000)) {
        tool_.kill();
        tool_.waitForFinished(1000);
    }
    held_ = false;
}

}  // namespace meridell::test
