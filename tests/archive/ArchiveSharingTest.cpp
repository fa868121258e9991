#include <gtest/gtest.h>

#include <QFile>
#include <QSet>

#include "ArchiveFixture.h"
#include "WriterProcess.h"

// Several workshop PCs on one archive: programs writing at the same moment, a server that goes
// away and comes back.
namespace {
using Kind = ArchiveStoreOutcome::Kind;

class ArchiveSharingTest : public ArchiveOnEngine {};

TEST_P(ArchiveSharingTest, TwoProgramsStoringAtOnceLoseNothingAndStoreNothingTwice) {
    archive.close();
    // Both writers name the archive the same way: the server's URL, or the file's path.
    const QString shared = GetParam() == Engine::Sqlite ? base.filePath(location) : location;
    QProcess first, second;
    QTemporaryDir firstBase(QStringLiteral("/tmp/archive-test-XXXXXX")),
        secondBase(QStringLiteral("/tmp/archive-test-XXXXXX"));
    startWriter(first, {"store", shared, firstBase.path(), "SN-P1", "500"});
    startWriter(second, {"store", shared, secondBase.path(), "SN-P2", "500"});
    ASSERT_TRUE(first.waitForFinished(240000) && second.waitForFinished(240000));
    const QByteArray out1 = first.readAllStandardOutput(), out2 = second.readAllStandardOutput();
    EXPECT_EQ(first.exitCode(), 0) << out1.right(300).toStdString();
    EXPECT_EQ(second.exitCode(), 0) << out2.right(300).toStdString();

    QSet<qint64> ids;
    for (const qint64 id : storedIds(out1) + storedIds(out2)) ids.insert(id);
    EXPECT_EQ(ids.size(), 1000);

    ASSERT_TRUE(archive.open(location, base.path()).ok());
    for (const char* serial : {"SN-P1", "SN-P2"}) {
        const auto history = archive.history(serial).value();
        ASSERT_EQ(history.size(), 500) << serial;
        QSet<QByteArray> texts;
        for (const ArchiveHistoryEntry& h : history) {
            EXPECT_FALSE(h.noted);
            EXPECT_TRUE(ids.contains(h.snapshot.id));
            texts.insert(archive.snapshotText(h.snapshot.id).value());
        }
        EXPECT_EQ(texts.size(), 500) << serial;
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, ArchiveSharingTest,
                         ::testing::Values(Engine::Sqlite, Engine::Postgres), engineName);

class ArchiveServerAwayTest : public ArchiveOnEngine {};

TEST_P(ArchiveServerAwayTest, WritesWaitWhileTheServerIsAwayAndArriveOnce) {
    PostgresServer& server = PostgresServer::shared();
    const auto session = archive.beginSession("SN-Q", at(0), "BANCO-2", "anna");
    ASSERT_TRUE(session.ok());
    const auto before = archive.storeSnapshot(snapshotOf("SN-Q", at(1), iniText()));
    ASSERT_EQ(before.value().kind, Kind::Stored);

    ASSERT_TRUE(server.stop());
    for (int i = 0; i < 3; ++i) {
        auto s =
            snapshotOf("SN-Q", at(2 + i), iniText({{"GiriPerCambio", QString::number(1900 + i)}}));
        s.sessionId = session.value();
        const auto queued = archive.storeSnapshot(s);
        ASSERT_TRUE(queued.ok()) << queued.error().detail.toStdString();
        EXPECT_EQ(queued.value().kind, Kind::Queued);
    }
    ASSERT_TRUE(archive.journal({"SN-Q", session.value(), at(5), 528, 0, 1800, 1902, true}).ok());
    ASSERT_TRUE(archive.endSession(session.value(), at(6)).ok());
    EXPECT_EQ(archive.state(), WorkshopArchive::State::Queueing);
    EXPECT_EQ(archive.queuedCount(), 5);
    EXPECT_EQ(archive.history("SN-Q").error().kind, ArchiveError::Kind::ServerUnreachable);
    EXPECT_EQ(archive.flushQueue().error().kind, ArchiveError::Kind::ServerUnreachable);
    // The queue as it stands, to send again below as if the first answer had been lost.
    const QString queueFile = base.filePath(WorkshopArchive::kQueueFileName);
    const QString copy = base.filePath(QStringLiteral("copy.sqlite"));
    archive.close();
    ASSERT_TRUE(QFile::copy(queueFile, copy));
    ASSERT_EQ(archive.open(location, base.path()).error().kind,
              ArchiveError::Kind::ServerUnreachable);
    EXPECT_EQ(archive.state(), WorkshopArchive::State::Queueing);

    ASSERT_TRUE(server.start());
    const auto sent = archive.flushQueue();
    ASSERT_TRUE(sent.ok()) << sent.error().detail.toStdString();
    EXPECT_EQ(sent.value(), 5);
    EXPECT_EQ(archive.state(), WorkshopArchive::State::Open);
    EXPECT_EQ(archive.queuedCount(), 0);
    EXPECT_EQ(archive.flushQueue().value(), 0);

    archive.close();
    ASSERT_TRUE(QFile::remove(queueFile));
    ASSERT_TRUE(QFile::copy(copy, queueFile));
    ASSERT_TRUE(archive.open(location, base.path()).ok());  // sends the old queue again
    EXPECT_EQ(archive.queuedCount(), 0);

    const auto history = archive.history("SN-Q").value();
    ASSERT_EQ(history.size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(history[i].noted);
        EXPECT_EQ(history[i].time, at(1 + i));
    }
    EXPECT_EQ(archive.snapshotText(history[3].snapshot.id).value(),
              iniText({{"GiriPerCambio", "1902"}}));
    EXPECT_EQ(archive.journalOf("SN-Q").value().size(), 1);
    EXPECT_EQ(archive.sessionsOf("SN-Q").value().value(0).end, at(6));
}

INSTANTIATE_TEST_SUITE_P(Engines, ArchiveServerAwayTest, ::testing::Values(Engine::Postgres),
                         engineName);
}  // namespace
