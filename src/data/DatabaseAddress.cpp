#include "data/DatabaseAddress.h"

#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

namespace meridell::data {

namespace {

// A scheme of two letters or more: "C:" before a path is a drive, not an engine.
const QRegularExpression& schemePrefix() {
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]+):"));
    return scheme;
}

DatabaseAddress sqliteAddress(const QString& text) {
    DatabaseAddress address;
    address.text = text;
    address.scheme = QStringLiteral("sqlite");
    const QUrl url(text, QUrl::StrictMode);
    // A file is named by its path alone: another machine, a user, a port, a query or a fragment
    // say something the engine cannot take from the address.
    const bool local =
        url.host().isEmpty() || url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0;
    if (!url.isValid() || !local || !url.userInfo().isEmpty() || url.port() != -1 || url.hasQuery() ||
        url.hasFragment()) {
        return address;
    }
    address.path = url.path(QUrl::FullyDecoded);
    if (!address.path.isEmpty()) {
        address.engine = DatabaseAddress::Engine::Sqlite;
    }
    return address;
}

// The database's name is the path without its leading slash; one of more parts names nothing.
DatabaseAddress serverAddress(const QString& text, const QString& scheme) {
    DatabaseAddress address;
    address.text = text;
    address.scheme = scheme;
    const QUrl url(text, QUrl::StrictMode);
    QString name = url.path(QUrl::FullyDecoded);
    if (name.startsWith(u'/')) {
        name.remove(0, 1);
    }
    if (!url.isValid() || url.hasFragment() || name.isEmpty() || name.contains(u'/')) {
        return address;
    }
    address.database = name;
    address.host = url.host(QUrl::FullyDecoded);
    address.port = url.port();
    address.user = url.userName(QUrl::FullyDecoded);
    address.password = url.password(QUrl::FullyDecoded);
    const QUrlQuery query(url);
    for (const auto& [key, value] : query.queryItems(QUrl::FullyDecoded)) {
        address.options.append({key, value});
        if (key == u"host" && address.host.isEmpty()) {
            address.host = value;
        } else if (key == u"port" && address.port == -1) {
            address.port = value.toInt();
        } else if (key == u"user" && address.user.isEmpty()) {
            address.user = value;
        }
    }
    address.engine = DatabaseAddress::Engine::Postgres;
    return address;
}

}  // namespace

QString DatabaseAddress::option(const QString& key) const {
    for (const auto& [k, v] : options) {
        if (k == key) {
            return v;
        }
    }
    return {};
}

QString DatabaseAddress::describe() const {
    if (!isServer()) {
        return path;
    }
    QString server = host.isEmpty() ? QStringLiteral("localhost") : host;
    if (port != -1) {
        server += u':' + QString::number(port);
    }
    return QStringLiteral("服务器 %1 上的数据库 %2").arg(server, database);
}

QString DatabaseAddress::shownText() const {
    if (password.isEmpty()) {
        return text;
    }
    QUrl url(text);
    url.setPassword({});
    return url.toString();
}

DatabaseAddress DatabaseAddress::parse(const QString& text) {
    if (text.trimmed().isEmpty()) {
        DatabaseAddress none;
        none.text = text;
        return none;
    }
    const QRegularExpressionMatch scheme = schemePrefix().match(text);
    if (!scheme.hasMatch()) {
        return ofFile(text);
    }
    const QString name = scheme.captured(1).toLower();
    if (name == QLatin1String("sqlite")) {
        return sqliteAddress(text);
    }
    if (name == QLatin1String("postgresql") || name == QLatin1String("postgres")) {
        return serverAddress(text, name);
    }
    DatabaseAddress other;
    other.engine = Engine::Other;
    other.scheme = name;
    other.text = text;
    return other;
}

DatabaseAddress DatabaseAddress::ofFile(const QString& path) {
    DatabaseAddress address;
    address.engine = Engine::Sqlite;
    address.path = path;
    address.text = path;
    return address;
}

}  // namespace meridell::data
