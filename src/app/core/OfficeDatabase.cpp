#include "app/core/OfficeDatabase.h"

#include "common/core/Error.h"
#include "data/DatabaseAddress.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>
#include <QUrlQuery>

namespace meridell::app {

namespace {

constexpr int kDefaultPort = 5432;

bool isServerScheme(const QString& scheme) {
    return scheme == QLatin1String("postgresql") || scheme == QLatin1String("postgres");
}

// The scheme and "//" that open an address with a host part, and that part up to the path.
const QRegularExpression& authorityPattern() {
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://([^/?#]*)"));
    return pattern;
}

// The host and port at the end of an address's host part, a bracketed IPv6 host kept whole.
const QRegularExpression& hostPortPattern() {
    static const QRegularExpression pattern(QStringLiteral("^(?:\\[[^\\]]*\\]|[^:]*)(?::(.*))?$"));
    return pattern;
}

// Empty for a port libpq takes: none at all, or a number from 1 to 65535.
QString portFault(const QString& port) {
    bool number = false;
    const int value = port.toInt(&number);
    if (port.isEmpty() || (number && value >= 1 && value <= 65535)) {
        return {};
    }
    return QStringLiteral("端口“%1”不是 1 到 65535 之间的数字。").arg(port);
}

QString serverFault(const QString& text) {
    const QRegularExpressionMatch authority = authorityPattern().match(text);
    if (!authority.hasMatch()) {
        return QStringLiteral("服务器的地址应以 postgresql:// 开头。");
    }
    const QString hostPort = authority.captured(1).section(QLatin1Char('@'), -1);
    if (hostPort.contains(QLatin1Char(','))) {
        return QStringLiteral("本程序只连接一台服务器，地址中只能写一个主机。");
    }
    const QString port = hostPortPattern().match(hostPort).captured(1);
    if (QString fault = portFault(port); !fault.isEmpty()) {
        return fault;
    }
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid()) {
        return QStringLiteral("地址的写法有误，请检查主机名和其中的特殊字符（特殊字符须写成 %XX 的形式）。");
    }
    if (url.hasFragment()) {
        return QStringLiteral("地址中不能有“#”及其后的部分。");
    }
    return portFault(QUrlQuery(url).queryItemValue(QStringLiteral("port"), QUrl::FullyDecoded));
}

// The value of the setting, or empty when the file or the setting is missing.
QString readSetting(const QString& path) {
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        return {};
    }
    const QSettings settings(path, QSettings::IniFormat);
    const QVariant value = settings.value(QLatin1String(kDatabaseSetting));
    if (settings.status() != QSettings::NoError) {
        throw Error(
            QStringLiteral("无法读取设置文件 %1，请检查该文件。").arg(QDir::toNativeSeparators(path)));
    }
    // A value written without quotes reads as a list where it holds commas: joined back, it is the
    // value as written, and a fault in it is named whole.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(',')).trimmed();
    }
    return value.toString().trimmed();
}

OfficeDatabaseChoice checkedChoice(OfficeDatabaseChoice::Source source, const QString& address,
                                   const QString& where) {
    const QString fault = addressFault(address);
    if (!fault.isEmpty()) {
        throw Error(QStringLiteral("%1 给出的数据库地址“%2”无法使用：%3")
                        .arg(where, withoutPassword(address), fault));
    }
    return {source, address};
}

// The options part of an address without its password= option.
QString withoutPasswordOption(const QString& options) {
    QStringList kept;
    for (const QString& item : options.split(QLatin1Char('&'))) {
        if (item.section(QLatin1Char('='), 0, 0) != QLatin1String("password")) {
            kept << item;
        }
    }
    return kept.join(QLatin1Char('&'));
}

}  // namespace

CommandLine readCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption database(QStringLiteral("database"), QStringLiteral("办公室数据库的地址"),
                                      QStringLiteral("URI"));
    parser.addOption(database);
    if (!parser.parse(arguments)) {
        throw Error(QStringLiteral("无法读取命令行：%1").arg(parser.errorText()));
    }
    if (!parser.positionalArguments().isEmpty()) {
        QStringList shown;
        for (const QString& argument : parser.positionalArguments()) {
            shown << withoutPassword(argument);
        }
        throw Error(QStringLiteral("命令行中有多余的参数：%1\n数据库的地址请写在 --database 之后。")
                        .arg(shown.join(QLatin1Char(' '))));
    }
    CommandLine line;
    line.database = parser.value(database).trimmed();
    return line;
}

QString settingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/meridell/meridell.ini");
}

OfficeDatabaseChoice officeDatabaseAddress(const QStringList& arguments, const QString& settingsPath) {
    return officeDatabaseAddress(readCommandLine(arguments), settingsPath);
}

OfficeDatabaseChoice officeDatabaseAddress(const CommandLine& line, const QString& settingsPath) {
    using Source = OfficeDatabaseChoice::Source;
    if (!line.database.isEmpty()) {
        return checkedChoice(Source::Option, line.database, QStringLiteral("命令行选项 --database"));
    }
    const QString setting = readSetting(settingsPath);
    if (!setting.isEmpty()) {
        return checkedChoice(
            Source::Setting, setting,
            QStringLiteral("设置文件 %1 中的 %2")
                .arg(QDir::toNativeSeparators(settingsPath), QLatin1String(kDatabaseSetting)));
    }
    return {};
}

QString addressFault(const QString& address) {
    const data::DatabaseAddress parsed = data::DatabaseAddress::parse(address);
    if (isServerScheme(parsed.scheme)) {
        return serverFault(address);
    }
    if (parsed.engine == data::DatabaseAddress::Engine::Sqlite && !parsed.path.isEmpty()) {
        return {};
    }
    if (parsed.scheme == QLatin1String("sqlite")) {
        return QStringLiteral("sqlite: 地址只能写本机上的文件路径。");
    }
    return QStringLiteral("只能使用以 postgresql:// 开头的服务器地址，或项目数据库文件的路径。");
}

QString withoutPassword(const QString& address) {
    if (!authorityPattern().match(address).hasMatch()) {
        return address;
    }
    // The password stands between the user's name and the last "@" before the host.
    static const QRegularExpression userPassword(
        QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*://[^/?#@:]*):[^/?#]*@"));
    QString shown = address;
    shown.replace(userPassword, QStringLiteral("\\1@"));
    const qsizetype query = shown.indexOf(QLatin1Char('?'));
    if (query < 0) {
        return shown;
    }
    qsizetype end = shown.indexOf(QLatin1Char('#'), query);
    end = end < 0 ? shown.size() : end;
    const QString options = withoutPasswordOption(shown.mid(query + 1, end - query - 1));
    return shown.left(query) + (options.isEmpty() ? QString() : QLatin1Char('?') + options) + shown.mid(end);
}

std::optional<ServerPlace> serverPlace(const QString& address) {
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || !isServerScheme(url.scheme().toLower()) || !serverFault(address).isEmpty()) {
        return std::nullopt;
    }
    const QUrlQuery query(url);
    const auto option = [&query](const char* key) {
        return query.queryItemValue(QLatin1String(key), QUrl::FullyDecoded);
    };
    const auto firstOf = [](std::initializer_list<QString> values) {
        for (const QString& value : values) {
            if (!value.isEmpty()) {
                return value;
            }
        }
        return QString();
    };
    ServerPlace place;
    place.host = firstOf({option("host"), url.host(QUrl::FullyDecoded), QStringLiteral("localhost")});
    const QString port = option("port");
    place.port = port.isEmpty() ? url.port(kDefaultPort) : port.toInt();
    place.database = firstOf({option("dbname"), url.path(QUrl::FullyDecoded).mid(1), option("user"),
                              url.userName(QUrl::FullyDecoded)});
    return place;
}

QString shownDatabaseName(const data::DatabaseAddress& address) {
    if (address.engine == data::DatabaseAddress::Engine::Sqlite) {
        return QDir::toNativeSeparators(QFileInfo(address.path).absoluteFilePath());
    }
    return withoutPassword(address.text);
}

QString officeDatabaseCaption(const data::DatabaseAddress& address) {
    const QString prefix = QStringLiteral("数据库：");
    if (address.engine == data::DatabaseAddress::Engine::Sqlite) {
        return prefix + shownDatabaseName(address);
    }
    const std::optional<ServerPlace> place = serverPlace(address.text);
    if (!place) {
        return prefix + shownDatabaseName(address);
    }
    // An IPv6 host stands in brackets, so that its colons are not taken for the port's.
    const QString host = place->host.contains(QLatin1Char(':')) && !place->host.startsWith(QLatin1Char('/'))
                             ? QLatin1Char('[') + place->host + QLatin1Char(']')
                             : place->host;
    const QString database = place->database.isEmpty() ? QStringLiteral("默认数据库") : place->database;
    return prefix + QStringLiteral("服务器 %1:%2 上的 %3").arg(host).arg(place->port).arg(database);
}

}  // namespace meridell::app
