#pragma once

#include <gtest/gtest.h>

#include <QDateTime>
#include <QTemporaryDir>
#include <QUuid>
#include <map>

#include "PostgresServer.h"
#include "WorkshopArchive.h"

// What the archive tests share: both engines, a base directory of the test's own, times and
// configuration texts.
enum class Engine { Sqlite, Postgres };

inline std::string engineName(const ::testing::TestParamInfo<Engine>& info) {
    return info.param == Engine::Sqlite ? "Sqlite" : "Postgres";
}

inline QDateTime at(int minute) {
    return QDateTime(QDate(2026, 3, 2), QTime(8, 0), Qt::UTC).addSecs(60LL * minute);
}

// A configuration's INI text, as the save command writes it; `changes` replaces values.
inline QByteArray iniText(const std::map<QString, QString>& changes = {}) {
    std::map<QString, QString> values = {{"GiriPerCambio", "1800"},
                                         {"TempCambio", "35"},
                                         {"Cilindrata", "1600"},
                                         {"N cilindri", "4"}};
    for (const auto& [key, value] : changes) values[key] = value;
    QByteArray text = "DECRYPTED_MLTP_FILE\r\n[Generale]\r\n";
    for (const auto& [key, value] : values) text += (key + "=" + value + "\r\n").toUtf8();
    text += "[Mappe]\r\n";
    for (int row = 0; row < 16; ++row)
        text += QByteArray("Riga") + QByteArray::number(row) + "=12,14,17,21,26,30,33,35\r\n";
    return text;
}

inline ArchiveSnapshotInput snapshotOf(const QString& serial, const QDateTime& time,
                                       const QByteArray& text,
                                       const QString& reason = QStringLiteral("connect")) {
    ArchiveSnapshotInput s;
    s.ecuSerial = serial;
    s.time = time;
    s.reason = reason;
    s.iniText = text;
    return s;
}

// An archive on the engine of the test's parameter, opened in a fresh database.
class ArchiveOnEngine : public ::testing::TestWithParam<Engine> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(base.isValid());
        location = freshLocation(GetParam());
        if (location.isEmpty())
            GTEST_SKIP() << "PostgreSQL tests skipped: "
                         << PostgresServer::shared().whyNot().toStdString();
        const auto opened = archive.open(location, base.path());
        ASSERT_TRUE(opened.ok()) << opened.error().detail.toStdString();
        ASSERT_EQ(archive.state(), WorkshopArchive::State::Open);
    }

    // Empty for SQLite (the default file in the base directory); a new database on the server.
    // Empty too when no server can run: the caller skips then.
    static QString freshLocation(Engine engine) {
        if (engine == Engine::Sqlite) return QStringLiteral("Archivio.sqlite");
        PostgresServer& pg = PostgresServer::shared();
        if (!pg.available()) return {};
        return pg.createDatabase(QStringLiteral("a") + QUuid::createUuid().toString(QUuid::Id128));
    }

    QTemporaryDir base{QStringLiteral("/tmp/archive-test-XXXXXX")};
    WorkshopArchive archive;
    QString location;
};

// Stops the shared server while the application object still lives.
class PostgresEnvironment : public ::testing::Environment {
  public:
    void TearDown() override { PostgresServer::shutdown(); }
};
