#pragma once

#include <QString>

// Where an archive lives, from the settings value "Archivio": empty = the default SQLite file
// in the base directory, "postgresql://user@host:port/database" = a server, anything else =
// the path of a SQLite file (relative to the base directory).
struct ArchiveLocation {
    enum class Engine { Sqlite, Postgres };

    Engine engine = Engine::Sqlite;
    QString filePath;  // Sqlite: absolute
    QString host;      // Postgres; empty = libpq's default (PGHOST, the local socket)
    int port = -1;     // -1 = libpq's default
    QString user;
    QString password;  // empty = libpq's password file and environment
    QString database;
    QString options;  // libpq options passed on, "key=value;..."

    bool valid = false;
    QString problem;  // why it is not valid

    static ArchiveLocation parse(const QString& text, const QString& baseDirectory);
    // For messages and logs: the file, or the URL without its password.
    QString displayText() const;
};
