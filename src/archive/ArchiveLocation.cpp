#include "ArchiveLocation.h"

#include <QDir>
#include <QUrl>
#include <QUrlQuery>
#include <algorithm>

#include "WorkshopArchive.h"

namespace {
bool isServerUrl(const QString& text) {
    return text.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           text.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

// libpq options that may follow the URL as a query ("?sslmode=require&connect_timeout=5").
// Keys are checked so that a value cannot smuggle another option in.
QString optionsOf(const QUrlQuery& query, QString& host, QString& problem) {
    QStringList options;
    for (const auto& [key, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (key == QLatin1String("host")) {  // a socket folder: ?host=/run/postgresql
            host = value;
            continue;
        }
        const bool plainKey =
            !key.isEmpty() && key.size() < 40 && std::all_of(key.begin(), key.end(), [](QChar c) {
                return c.isLetterOrNumber() || c == QLatin1Char('_');
            });
        if (!plainKey || value.contains(QLatin1Char(';')) || value.contains(QLatin1Char('='))) {
            problem = QStringLiteral("unusable option \"%1\" in the server address").arg(key);
            return {};
        }
        options << key + QLatin1Char('=') + value;
    }
    return options.join(QLatin1Char(';'));
}
}  // namespace

ArchiveLocation ArchiveLocation::parse(const QString& text, const QString& baseDirectory) {
    ArchiveLocation at;
    const QString trimmed = text.trimmed();
    if (!isServerUrl(trimmed)) {
        const QString name =
            trimmed.isEmpty() ? QString::fromLatin1(WorkshopArchive::kDefaultFileName) : trimmed;
        at.filePath = QDir::cleanPath(QDir(baseDirectory).absoluteFilePath(name));
        at.valid = true;
        return at;
    }
    at.engine = Engine::Postgres;
    const QUrl url(trimmed, QUrl::StrictMode);
    if (!url.isValid()) {
        at.problem =
            QStringLiteral("the server address is not a valid URL: %1").arg(url.errorString());
        return at;
    }
    at.host = url.host(QUrl::FullyDecoded);
    at.port = url.port(-1);
    at.user = url.userName(QUrl::FullyDecoded);
    at.password = url.password(QUrl::FullyDecoded);
    at.database = url.path(QUrl::FullyDecoded).mid(1);
    at.options = optionsOf(QUrlQuery(url), at.host, at.problem);
    if (!at.problem.isEmpty()) return at;
    if (at.database.isEmpty() || at.database.contains(QLatin1Char('/'))) {
        at.problem = QStringLiteral(
            "the server address names no database (postgresql://user@host:port/database)");
        return at;
    }
    at.valid = true;
    return at;
}

QString ArchiveLocation::displayText() const {
    if (engine == Engine::Sqlite) return filePath;
    QString text = QStringLiteral("postgresql://");
    if (!user.isEmpty()) text += user + QLatin1Char('@');
    text += host;
    if (port >= 0) text += QLatin1Char(':') + QString::number(port);
    return text + QLatin1Char('/') + database;
}
