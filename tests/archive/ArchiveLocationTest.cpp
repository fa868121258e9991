#include <gtest/gtest.h>

#include "ArchiveLocation.h"

// The settings value "Archivio" read as a place: a file, or a server and its libpq options.
namespace {
using Engine = ArchiveLocation::Engine;

TEST(ArchiveLocationTest, TheSettingsValueNamesAFileOrAServer) {
    struct Case {
        const char* text;
        bool valid;
        Engine engine;
        const char* file;  // Sqlite
        const char* host;
        int port;
        const char* user;
        const char* database;
        const char* options;
    };
    const Case cases[] = {
        {"", true, Engine::Sqlite, "/officina/Archivio.sqlite", "", -1, "", "", ""},
        {"  ", true, Engine::Sqlite, "/officina/Archivio.sqlite", "", -1, "", "", ""},
        {"Dati/Mio.sqlite", true, Engine::Sqlite, "/officina/Dati/Mio.sqlite", "", -1, "", "", ""},
        {"/srv/a.sqlite", true, Engine::Sqlite, "/srv/a.sqlite", "", -1, "", "", ""},
        {"postgresql://officina@server:5433/archivio", true, Engine::Postgres, "", "server", 5433,
         "officina", "archivio", ""},
        {"POSTGRES://server/archivio", true, Engine::Postgres, "", "server", -1, "", "archivio",
         ""},
        {"postgresql://u@h/db?sslmode=require&connect_timeout=5", true, Engine::Postgres, "", "h",
         -1, "u", "db", "sslmode=require;connect_timeout=5"},
        {"postgresql://u@/db?host=%2Frun%2Fpostgresql", true, Engine::Postgres, "",
         "/run/postgresql", -1, "u", "db", ""},
        {"postgresql://u@h:5432/", false, Engine::Postgres, "", "", 0, "", "", ""},
        {"postgresql://u@h:5432/a/b", false, Engine::Postgres, "", "", 0, "", "", ""},
        {"postgresql://u@h/db?sslmode=disable%3Bhost%3Devil", false, Engine::Postgres, "", "", 0,
         "", "", ""},
        {"postgresql://u@h/db?bad%20key=1", false, Engine::Postgres, "", "", 0, "", "", ""},
        {"postgresql://u@h:port/db", false, Engine::Postgres, "", "", 0, "", "", ""},
    };
    for (const Case& c : cases) {
        const ArchiveLocation at = ArchiveLocation::parse(QString::fromUtf8(c.text), "/officina");
        EXPECT_EQ(at.valid, c.valid) << c.text << ": " << at.problem.toStdString();
        EXPECT_EQ(at.engine, c.engine) << c.text;
        if (!c.valid) {
            EXPECT_FALSE(at.problem.isEmpty()) << c.text;
            continue;
        }
        EXPECT_EQ(at.filePath, c.file) << c.text;
        EXPECT_EQ(at.host, c.host) << c.text;
        EXPECT_EQ(at.port, c.port) << c.text;
        EXPECT_EQ(at.user, c.user) << c.text;
        EXPECT_EQ(at.database, c.database) << c.text;
        EXPECT_EQ(at.options, c.options) << c.text;
    }
    // The password never shows in messages.
    const ArchiveLocation secret = ArchiveLocation::parse("postgresql://u:segreto@h:1/db", {});
    EXPECT_EQ(secret.password, "segreto");
    EXPECT_EQ(secret.displayText(), "postgresql://u@h:1/db");
}
}  // namespace
