#include <gtest/gtest.h>
#include <signal.h>

#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "ArchiveCodec.h"
#include "ArchiveFixture.h"
#include "WriterProcess.h"

// The archive file in trouble: written by a newer program, damaged, in a read-only folder, on
// a full disk, its writer killed. Each time a clear error kind, and nothing lost.
namespace {
using Kind = ArchiveError::Kind;

class ArchiveFileTest : public ::testing::Test {
  protected:
    QString file() const { return base.filePath(QStringLiteral("Archivio.sqlite")); }

    // Runs SQL on the file directly, as another program would.
    void sql(const QString& statement) {
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("direct"));
            db.setDatabaseName(file());
            ASSERT_TRUE(db.open());
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec(statement)) << statement.toStdString();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("direct"));
    }

    qint64 storeOne(const QByteArray& text) {
        WorkshopArchive archive;
        EXPECT_TRUE(archive.open({}, base.path()).ok());
        return archive.storeSnapshot(snapshotOf("SN-F", at(0), text)).value().id;
    }

    QTemporaryDir base{QStringLiteral("/tmp/archive-test-XXXXXX")};
};

TEST_F(ArchiveFileTest, AnArchiveOfANewerProgramOpensReadOnlyOrNotAtAll) {
    const QByteArray text = iniText();
    const qint64 id = storeOne(text);
    const int mine = WorkshopArchive::programSchemaVersion();
    struct Case {
        int oldestReader;
        WorkshopArchive::State state;
    };
    for (const Case c : {Case{mine, WorkshopArchive::State::ReadOnly},
                         Case{mine + 1, WorkshopArchive::State::Closed}}) {
        sql(QStringLiteral("UPDATE archive_schema SET version = %1, oldest_reader = %2")
                .arg(mine + 1)
                .arg(c.oldestReader));
        WorkshopArchive archive;
        const auto opened = archive.open({}, base.path());
        EXPECT_EQ(opened.error().kind, Kind::TooNew);
        EXPECT_EQ(archive.state(), c.state) << "oldest reader " << c.oldestReader;
        if (c.state != WorkshopArchive::State::ReadOnly) continue;
        EXPECT_EQ(archive.snapshotText(id).value(), text);
        EXPECT_EQ(archive.storeSnapshot(snapshotOf("SN-F", at(1), iniText({{"TempCambio", "1"}})))
                      .error()
                      .kind,
                  Kind::TooNew);
        EXPECT_EQ(archive.addVehicle({}).error().kind, Kind::TooNew);
        EXPECT_EQ(archive.schemaVersion(), mine + 1);
    }
}

TEST_F(ArchiveFileTest, ADamagedFileIsReportedAndLeftAsItWas) {
    storeOne(iniText());
    QFile good(file());
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray archiveBytes = good.readAll();
    good.close();
    ASSERT_GT(archiveBytes.size(), 8 * 4096);
    // The page that holds the snapshot's compressed text, overwritten.
    const qsizetype body = archiveBytes.indexOf(ArchiveCodec::compress(iniText()));
    ASSERT_GT(body, 0);
    QByteArray overwritten = archiveBytes;
    overwritten.replace(body / 4096 * 4096, 4096, QByteArray(4096, '\x5a'));

    struct Case {
        const char* what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"not a database", QByteArray("this is a text file, not an archive\n").repeated(300)},
        {"cut short", archiveBytes.left(2 * 4096)},
        {"pages overwritten", overwritten},
    };
    for (const Case& c : cases) {
        QFile::remove(file());
        QFile f(file());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.bytes);
        f.close();
        WorkshopArchive archive;
        const auto opened = archive.open({}, base.path());
        ArchiveError e = opened.error();
        // Pages the open does not read are found damaged when read.
        if (opened.ok()) e = archive.history("SN-F").error();
        if (!e.isError()) e = archive.snapshotText(1).error();
        EXPECT_EQ(e.kind, Kind::Damaged) << c.what << ": " << e.detail.toStdString();
        archive.close();
        QFile after(file());
        ASSERT_TRUE(after.open(QIODevice::ReadOnly));
        EXPECT_EQ(after.readAll(), c.bytes) << c.what;
    }

    // Somebody else's database is not taken over.
    QFile::remove(file());
    sql(QStringLiteral("CREATE TABLE customers (name TEXT)"));
    WorkshopArchive archive;
    EXPECT_EQ(archive.open({}, base.path()).error().kind, Kind::Damaged);
    EXPECT_EQ(archive.state(), WorkshopArchive::State::Closed);
}

TEST_F(ArchiveFileTest, ASnapshotWhoseBytesChangedIsNotPassedOffAsWhole) {
    const qint64 first = storeOne(iniText());
    WorkshopArchive archive;
    ASSERT_TRUE(archive.open({}, base.path()).ok());
    const qint64 second =
        archive.storeSnapshot(snapshotOf("SN-F", at(1), iniText({{"TempCambio", "20"}})))
            .value()
            .id;
    const qint64 third =
        archive.storeSnapshot(snapshotOf("SN-F", at(2), iniText({{"TempCambio", "21"}})))
            .value()
            .id;
    archive.close();
    // The second's body altered; the first (the others' dictionary) whole.
    sql(QStringLiteral("UPDATE snapshots SET body = X'789c4b4c4a060002d1012b' WHERE id = %1")
            .arg(second));
    ASSERT_TRUE(archive.open({}, base.path()).ok());
    EXPECT_EQ(archive.snapshotText(second).error().kind, Kind::Damaged);
    EXPECT_TRUE(archive.snapshotText(third).ok());
    archive.close();
    // The dictionary lost: every snapshot kept against it says so.
    sql(QStringLiteral("UPDATE snapshots SET hash = 'x' WHERE id = %1").arg(first));
    ASSERT_TRUE(archive.open({}, base.path()).ok());
    EXPECT_EQ(archive.snapshotText(third).error().kind, Kind::Damaged);
}

// A folder of its own, mounted in a mount namespace (no privilege needed where user
// namespaces are allowed): read-only, or a small disk that fills up.
class ArchiveMountTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QProcess probe;
        probe.start(QStringLiteral("unshare"), {QStringLiteral("-rm"), QStringLiteral("true")});
        if (!probe.waitForFinished(10000) || probe.exitCode() != 0)
            GTEST_SKIP() << "read-only folder and full disk tests skipped: this machine allows no "
                            "mount namespace (unshare -rm)";
    }

    // Runs `script` (sh) in the namespace; $W is archive_writer, $D the mounted folder.
    QString run(const QString& script) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("W"), writerProgram());
        env.insert(QStringLiteral("D"), dir.path());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("unshare"),
                {QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"), script});
        EXPECT_TRUE(p.waitForFinished(120000));
        return QString::fromLocal8Bit(p.readAll());
    }

    QTemporaryDir dir{QStringLiteral("/tmp/archive-mount-XXXXXX")};
};

TEST_F(ArchiveMountTest, AReadOnlyFolderGivesAClearErrorAndNoArchive) {
    struct Case {
        const char* what;
        const char* script;
        const char* expected;
    };
    const Case cases[] = {
        {"empty read-only folder",
         "mount -t tmpfs -o ro,size=1m tmpfs \"$D\" && \"$W\" open '' \"$D\"", "open: read-only"},
        {"archive in a folder made read-only",
         "mount -t tmpfs -o size=1m tmpfs \"$D\" && \"$W\" open '' \"$D\" >/dev/null && mount -o "
         "remount,ro \"$D\" && "
         "\"$W\" open '' \"$D\"",
         "open: read-only"},
    };
    for (const Case& c : cases) {
        const QString out = run(QString::fromLatin1(c.script));
        EXPECT_TRUE(out.contains(QLatin1String(c.expected))) << c.what << ":\n"
                                                             << out.toStdString();
        EXPECT_TRUE(out.contains(QLatin1String("store: not-open"))) << c.what << ":\n"
                                                                    << out.toStdString();
    }
}

TEST_F(ArchiveMountTest, AFullDiskStopsTheWriteAndKeepsEveryStoredSnapshot) {
    // Stores until the disk is full, then reads back every snapshot from the same disk.
    const QString out = run(QStringLiteral(
        "mount -t tmpfs -o size=400k tmpfs \"$D\" && \"$W\" store '' \"$D\" SN-FULL 100000;"
        " \"$W\" check '' \"$D\" SN-FULL"));
    EXPECT_TRUE(out.contains(QLatin1String("store: disk-full"))) << out.toStdString();
    const qsizetype stored = storedIds(out.toUtf8()).size();
    EXPECT_GT(stored, 0);
    EXPECT_TRUE(out.contains(QStringLiteral("check: ok %1").arg(stored)))
        << out.right(400).toStdString();
}

TEST(ArchiveKillTest, AWriterKilledFiftyTimesLeavesAWholeArchive) {
    QTemporaryDir base(QStringLiteral("/tmp/archive-test-XXXXXX"));
    const QString file = base.filePath(QStringLiteral("Archivio.sqlite"));
    QList<qint64> committed;
    QRandomGenerator random(24);
    for (int round = 0; round < 50; ++round) {
        QProcess writer;
        startWriter(writer, {QStringLiteral("store"), file, base.path(),
                             QStringLiteral("SN-K%1").arg(round % 3), QStringLiteral("100000")});
        ASSERT_TRUE(writer.waitForStarted());
        // Killed after a few commits, in the middle of the next (or while opening).
        const int commits = random.bounded(4);
        QByteArray out;
        while (storedIds(out).size() < commits && writer.waitForReadyRead(30000))
            out += writer.readAllStandardOutput();
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        writer.waitForFinished();
        out += writer.readAllStandardOutput();
        committed += storedIds(out);

        WorkshopArchive archive;
        const auto opened = archive.open(file, base.path());
        ASSERT_TRUE(opened.ok()) << "round " << round << ": "
                                 << opened.error().detail.toStdString();
        for (const qint64 id : storedIds(out))
            ASSERT_TRUE(archive.snapshotText(id).ok()) << "round " << round;
    }
    // Every commit of every round, whole at the end.
    WorkshopArchive archive;
    ASSERT_TRUE(archive.open(file, base.path()).ok());
    qsizetype kept = 0;
    for (int serial = 0; serial < 3; ++serial)
        kept += archive.history(QStringLiteral("SN-K%1").arg(serial)).value().size();
    EXPECT_GE(kept, committed.size());
    for (const qint64 id : committed) EXPECT_TRUE(archive.snapshotText(id).ok()) << id;
}
}  // namespace
