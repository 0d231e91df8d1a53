#include "app/CopyFromCommand.h"

#include "app/core/OfficeDatabase.h"
#include "common/core/AppPlaces.h"
#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/ProjectDatabaseCheck.h"
#include "exchange/core/OfficeCopy.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>
#include <QUuid>

#include <cstdio>

namespace meridell::app {

namespace {

const QString kCopyFrom = QStringLiteral("--copy-from");
const QString kDatabase = QStringLiteral("--database");

struct CopyArguments {
    QString database;
    QString source;
};

// The value of `option` at `i` (as "--option value" or "--option=value"), moving `i` past it;
// nothing when the argument is another one.
std::optional<QString> valueOf(const QString& option, const QStringList& arguments, qsizetype& i) {
    const QString& argument = arguments.at(i);
    if (argument.startsWith(option + u'=')) {
        return argument.mid(option.size() + 1);
    }
    if (argument != option) {
        return std::nullopt;
    }
    if (i + 1 >= arguments.size()) {
        throw Error(QStringLiteral("参数 %1 后面缺少它的值。").arg(option));
    }
    return arguments.at(++i);
}

CopyArguments readArguments(const QStringList& arguments) {
    CopyArguments read;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (std::optional<QString> source = valueOf(kCopyFrom, arguments, i)) {
            read.source = *source;
        } else if (std::optional<QString> database = valueOf(kDatabase, arguments, i)) {
            read.database = *database;
        } else {
            throw Error(QStringLiteral("无法识别的参数：%1").arg(arguments.at(i)));
        }
    }
    if (read.source.trimmed().isEmpty()) {
        throw Error(QStringLiteral("请在 %1 后面给出要复制的项目数据库文件。").arg(kCopyFrom));
    }
    return read;
}

void copy(const CopyArguments& arguments, const QString& ownDatabase, QTextStream& out) {
    const QString unique = QUuid::createUuid().toString(QUuid::WithoutBraces);
    data::Connection source(QStringLiteral("copy-from-source-") + unique);
    data::Connection office(QStringLiteral("copy-from-office-") + unique);
    try {
        exchange::openCopySource(source, arguments.source);
    } catch (const Error& e) {
        throw Error(QStringLiteral("无法打开要复制的项目数据库 %1：\n%2")
                        .arg(QFileInfo(arguments.source).absoluteFilePath(), e.text()));
    }
    // The office database as the program would open it: the option, else the setting, else its own file.
    const OfficeDatabaseChoice choice =
        officeDatabaseAddress(CommandLine{arguments.database.trimmed()}, settingsPath());
    if (choice.address.isEmpty()) {
        office.setDatabaseFile(ownDatabase);
    } else if (const QString fault = addressFault(choice.address); !fault.isEmpty()) {
        throw Error(fault);
    } else {
        office.setDatabase(choice.address);
    }
    try {
        office.open();
    } catch (const Error& e) {
        throw Error(
            QStringLiteral("无法打开项目数据库 %1：\n%2").arg(office.address().shownText(), e.text()));
    }
    data::requireProjectDatabase(office);
    out << exchange::officeCopyText(exchange::copyOfficeDatabase(office, source)) << Qt::endl;
}

}  // namespace

bool asksForCopy(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments.at(i) == kCopyFrom || arguments.at(i).startsWith(kCopyFrom + u'=')) {
            return true;
        }
    }
    return false;
}

int runCopyFrom(const QStringList& arguments, const QString& ownDatabase, QTextStream& out,
                QTextStream& err) {
    try {
        copy(readArguments(arguments), ownDatabase, out);
        return 0;
    } catch (const std::exception& e) {
        err << errorText(e) << Qt::endl;
        return 1;
    }
}

std::optional<int> copyFromCommandLine(int& argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    if (!asksForCopy(arguments)) {
        return std::nullopt;
    }
    const QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    const AppPlaces places =
        AppPlaces::forProgramIn(QCoreApplication::applicationDirPath(), UserFolders::ofUser());
    return runCopyFrom(QCoreApplication::arguments(), places.databasePath, out, err);
}

}  // namespace meridell::app
