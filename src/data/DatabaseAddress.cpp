#include "data/DatabaseAddress.h"

#include <QRegularExpression>
#include <QUrl>

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

}  // namespace

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
