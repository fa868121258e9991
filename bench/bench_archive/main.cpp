// bench_archive: the archive at a workshop's scale, on SQLite and on PostgreSQL in one run.
// Builds 10,000 vehicles, each with its ECU, and 200,000 snapshots (20 an ECU, each a real
// configuration's INI text with a few values changed), then times what the program does on
// the user-interface thread: the search the archive window runs at each keystroke (by plate,
// customer and serial number, a word typed letter by letter), storing one snapshot, reading one
// ECU's history; and the bytes on disk per snapshot.
//   bench_archive [--vehicles N] [--snapshots N] [--only sqlite|postgresql] [--pg URL]
// Without --pg, a server is started in a temporary folder (as "nobody" when run as root).
// Prints one line a figure: "<engine> <what> median_ms N p99_ms N cpu_median_ms N cpu_p99_ms N"
// and "<engine> bytes_per_snapshot N".
#include <time.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "PostgresServer.h"
#include "WorkshopArchive.h"

namespace {
struct Options {
    int vehicles = 10000;
    int snapshots = 200000;
    QString only;
    QString pg;
};

const char* const kNames[] = {"Mario", "Anna",  "Luigi", "Giulia", "Marco",
                              "Sara",  "Paolo", "Elena", "Luca",   "Chiara"};
const char* const kSurnames[] = {"Rossi",  "Bianchi", "Verdi",  "Neri",   "Ferrari", "Esposito",
                                 "Romano", "Colombo", "Ricci",  "Marino", "Greco",   "Bruno",
                                 "Gallo",  "Conti",   "DeLuca", "Costa"};

QString plateOf(int i) {
    const auto letter = [](int n) { return QChar('A' + n % 26); };
    return QStringLiteral("%1%2 %3 %4%5")
        .arg(letter(i / 676))
        .arg(letter(i / 26))
        .arg(i % 1000, 3, 10, QLatin1Char('0'))
        .arg(letter(i * 7))
        .arg(letter(i * 13));
}
QString serialOf(int i) {
    return QStringLiteral("LG%1").arg(100000 + i * 37, 8, 10, QLatin1Char('0'));
}
QString customerOf(int i) {
    return QStringLiteral("%1 %2%3").arg(kNames[i % 10]).arg(kSurnames[(i / 10) % 16]).arg(i / 160);
}

// The base configuration with values changed: the ECU's own set, then the snapshot's few.
QByteArray configurationOf(const QList<QByteArray>& base, int ecu, int snapshot) {
    QList<QByteArray> lines = base;
    QRandomGenerator random(quint32(ecu * 7919 + 1));
    auto change = [&](QRandomGenerator& r) {
        const qsizetype at = r.bounded(lines.size());
        const qsizetype eq = lines[at].indexOf('=');
        if (eq > 0) lines[at] = lines[at].left(eq + 1) + QByteArray::number(r.bounded(3000));
    };
    for (int i = 0; i < 30; ++i) change(random);
    QRandomGenerator later(quint32(ecu * 104729 + snapshot * 31 + 7));
    for (int i = 0; i < snapshot * 2; ++i) change(later);
    return lines.join("\r\n");
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

// Wall time of each call, and this thread's processor time: on a loaded machine the wall
// time's tail is mostly waiting for a core, which the processor time leaves out.
struct Times {
    std::vector<double> wall;
    std::vector<double> cpu;
};

void report(const char* engine, const char* what, const Times& t) {
    std::printf("%s %s median_ms %.3f p99_ms %.3f cpu_median_ms %.3f cpu_p99_ms %.3f (n=%zu)\n",
                engine, what, percentile(t.wall, 0.5), percentile(t.wall, 0.99),
                percentile(t.cpu, 0.5), percentile(t.cpu, 0.99), t.wall.size());
    std::fflush(stdout);
}

double threadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

template <typename F>
void timed(Times& times, F f) {
    QElapsedTimer t;
    const double cpu = threadCpuMs();
    t.start();
    f();
    times.wall.push_back(double(t.nsecsElapsed()) / 1e6);
    times.cpu.push_back(threadCpuMs() - cpu);
}

bool build(WorkshopArchive& archive, const Options& o, const QList<QByteArray>& base) {
    const QDateTime start = QDateTime(QDate(2024, 1, 8), QTime(8, 0), Qt::UTC);
    const int perEcu = std::max(1, o.snapshots / o.vehicles);
    QElapsedTimer t;
    t.start();
    for (int v = 0; v < o.vehicles; ++v) {
        const QString serial = serialOf(v);
        if (!archive.ecuSeen({serial, 4, 7, QStringLiteral("2.%1").arg(v % 9)}, start).ok())
            return false;
        const auto id = archive.addVehicle(
            {0, plateOf(v), QStringLiteral("ZFA%1").arg(v * 131, 14, 10, QLatin1Char('0')),
             QStringLiteral("Fiat Punto"), customerOf(v), QStringLiteral("333 %1").arg(v),
             QString()});
        if (!id.ok() || !archive.installEcu(serial, id.value(), start).ok()) return false;
        QList<ArchiveSnapshotInput> batch;
        for (int s = 0; s < perEcu; ++s) {
            ArchiveSnapshotInput in;
            in.ecuSerial = serial;
            in.time = start.addSecs(qint64(v) * 60 + s * 86400LL);
            in.reason = s % 2 ? QStringLiteral("connect") : QStringLiteral("after calibration");
            in.iniText = configurationOf(base, v, s);
            batch << in;
        }
        const auto stored = archive.storeSnapshots(batch);
        if (!stored.ok()) {
            std::fprintf(stderr, "store: %s\n", qPrintable(stored.error().detail));
            return false;
        }
        if (v % 1000 == 999)
            std::fprintf(stderr, "  %d vehicles, %d snapshots, %.0f s\n", v + 1, (v + 1) * perEcu,
                         t.elapsed() / 1000.0);
    }
    return true;
}

// The search as a technician types: each prefix of the word, one call a keystroke.
Times typing(WorkshopArchive& archive, const std::function<QString(int)>& wordOf, int vehicles,
             int words, bool* allFound) {
    Times ms;
    QRandomGenerator random(11);
    for (int w = 0; w < words; ++w) {
        const int v = random.bounded(vehicles);
        const QString word = wordOf(v);
        qsizetype found = 0;
        for (int n = 1; n <= word.size(); ++n) {
            if (word[n - 1] == QLatin1Char(' ')) continue;
            timed(ms, [&] { found = archive.search(word.left(n)).value().size(); });
        }
        if (found == 0) *allFound = false;
    }
    return ms;
}

qint64 bytesOnDisk(WorkshopArchive& archive, const QString& sqliteFile, const QString& pgUrl) {
    if (!archive.isPostgres()) {
        archive.close();  // checkpoints the write-ahead log into the file
        return QFileInfo(sqliteFile).size();
    }
    const QUrl url(pgUrl);
    qint64 size = 0;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("size"));
        db.setHostName(url.host());
        db.setPort(url.port(5432));
        db.setUserName(url.userName());
        db.setDatabaseName(url.path().mid(1));
        QSqlQuery q(db);
        if (db.open() && q.exec(QStringLiteral("VACUUM ANALYZE")) &&
            q.exec(QStringLiteral(
                "SELECT pg_database_size(current_database()) - pg_database_size('template1')")) &&
            q.next())
            size = q.value(0).toLongLong();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("size"));
    return size;
}

bool run(const char* engine, const QString& location, const QString& baseDir, const Options& o,
         const QList<QByteArray>& base) {
    WorkshopArchive archive;
    const auto opened = archive.open(location, baseDir);
    if (!opened.ok()) {
        std::fprintf(stderr, "%s: %s\n", engine, qPrintable(opened.error().detail));
        return false;
    }
    std::fprintf(stderr, "%s: building %d vehicles, %d snapshots\n", engine, o.vehicles,
                 o.snapshots);
    QElapsedTimer t;
    t.start();
    if (!build(archive, o, base)) return false;
    std::printf("%s build_s %.1f\n", engine, t.elapsed() / 1000.0);

    bool allFound = true;
    report(engine, "search_plate",
           typing(
               archive, [](int v) { return plateOf(v); }, o.vehicles, 200, &allFound));
    report(engine, "search_customer",
           typing(
               archive,
               [](int v) {
                   return QString::fromLatin1(kSurnames[(v / 10) % 16]) + QString::number(v / 160);
               },
               o.vehicles, 200, &allFound));
    report(engine, "search_serial", typing(archive, serialOf, o.vehicles, 200, &allFound));
    if (!allFound) std::printf("%s search: a typed word found nothing\n", engine);

    Times store, history;
    QRandomGenerator random(5);
    for (int i = 0; i < 200; ++i) {
        const int v = random.bounded(o.vehicles);
        ArchiveSnapshotInput in;
        in.ecuSerial = serialOf(v);
        in.time = QDateTime::currentDateTimeUtc();
        in.reason = QStringLiteral("connect");
        in.iniText = configurationOf(base, v, 1000 + i);
        bool ok = true;
        timed(store, [&] { ok = archive.storeSnapshot(in).ok(); });
        qsizetype entries = 0;
        timed(history, [&] { entries = archive.history(serialOf(v)).value().size(); });
        if (!ok || entries == 0) std::printf("%s: store or history failed\n", engine);
    }
    report(engine, "store_snapshot", store);
    report(engine, "ecu_history", history);

    const qint64 bytes = bytesOnDisk(archive, QDir(baseDir).absoluteFilePath(location), location);
    std::printf("%s bytes_per_snapshot %lld (%lld bytes, %d snapshots)\n", engine,
                static_cast<long long>(bytes / (o.snapshots + 200)), static_cast<long long>(bytes),
                o.snapshots + 200);
    std::fflush(stdout);
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Options o;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--vehicles"))
            o.vehicles = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--snapshots"))
            o.snapshots = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--only"))
            o.only = args[i + 1];
        else if (args[i] == QLatin1String("--pg"))
            o.pg = args[i + 1];
    }
    o.vehicles = std::max(1, o.vehicles);
    QFile file(QStringLiteral(BASE_INI));
    if (!file.open(QIODevice::ReadOnly)) return 1;
    const QList<QByteArray> base = file.readAll().trimmed().split('\n');

    QTemporaryDir dir(QStringLiteral("/tmp/bench-archive-XXXXXX"));
    bool ok = true;
    if (o.only.isEmpty() || o.only == QLatin1String("sqlite"))
        ok = run("sqlite", QStringLiteral("Archivio.sqlite"), dir.path(), o, base) && ok;
    if (o.only.isEmpty() || o.only == QLatin1String("postgresql")) {
        QString url = o.pg;
        if (url.isEmpty()) {
            PostgresServer& server = PostgresServer::shared();
            if (!server.available()) {
                std::printf("postgresql skipped: %s\n", qPrintable(server.whyNot()));
                return ok ? 0 : 1;
            }
            url = server.createDatabase(QStringLiteral("bench"));
        }
        ok = run("postgresql", url, dir.path(), o, base) && ok;
        PostgresServer::shutdown();
    }
    return ok ? 0 : 1;
}
