// archive_writer: a second program on the same archive, for the tests that need processes.
//   archive_writer store DB BASE SERIAL COUNT   stores COUNT different snapshots of SERIAL,
//                                               printing "stored ID" after each commit
//   archive_writer open DB BASE                 opens, stores one snapshot, prints each result
//   archive_writer check DB BASE SERIAL         reads back every snapshot of SERIAL: "check: ok N"
#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>

#include "WorkshopArchive.h"

namespace {
const char* kindName(ArchiveError::Kind kind) {
    using K = ArchiveError::Kind;
    switch (kind) {
        case K::None:
            return "ok";
        case K::NotOpen:
            return "not-open";
        case K::CannotOpen:
            return "cannot-open";
        case K::Damaged:
            return "damaged";
        case K::TooNew:
            return "too-new";
        case K::ReadOnly:
            return "read-only";
        case K::DiskFull:
            return "disk-full";
        case K::ServerUnreachable:
            return "server-unreachable";
        case K::InvalidInput:
            return "invalid-input";
        case K::NotFound:
            return "not-found";
        case K::Database:
            return "database";
    }
    return "?";
}

ArchiveSnapshotInput snapshotOf(const QString& serial, int n) {
    ArchiveSnapshotInput s;
    s.ecuSerial = serial;
    s.time = QDateTime::fromMSecsSinceEpoch(1'700'000'000'000LL + n * 1000LL, Qt::UTC);
    s.reason = QStringLiteral("connect");
    s.iniText = QStringLiteral("[Generale]\r\nSerial=%1\r\nGiriPerCambio=%2\r\n%3")
                    .arg(serial)
                    .arg(1000 + n)
                    .arg(QStringLiteral("Mappa=1,2,3,4,5,6,7,8\r\n").repeated(40))
                    .toUtf8();
    return s;
}

void print(const char* what, const ArchiveError& e) {
    std::printf("%s: %s %s\n", what, kindName(e.kind), qPrintable(e.detail));
    std::fflush(stdout);
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) return 2;
    WorkshopArchive archive;
    const auto opened = archive.open(args[2], args[3]);
    if (args[1] == QLatin1String("open")) {
        print("open", opened.error());
        print("store", archive.storeSnapshot(snapshotOf(QStringLiteral("RO-1"), 1)).error());
        return 0;
    }
    if (!opened.ok() || args.size() < 5) {
        print("open", opened.error());
        return 1;
    }
    if (args[1] == QLatin1String("check")) {
        const auto history = archive.history(args[4]);
        if (!history.ok()) {
            print("check", history.error());
            return 1;
        }
        for (const ArchiveHistoryEntry& h : history.value()) {
            const auto text = archive.snapshotText(h.snapshot.id);
            if (!text.ok()) {
                print("check", text.error());
                return 1;
            }
        }
        std::printf("check: ok %lld\n", static_cast<long long>(history.value().size()));
        return 0;
    }
    if (args.size() < 6) return 2;
    const int count = args[5].toInt();
    for (int i = 0; i < count; ++i) {
        const auto stored = archive.storeSnapshot(snapshotOf(args[4], i));
        if (!stored.ok()) {
            print("store", stored.error());
            return 1;
        }
        std::printf("stored %lld\n", static_cast<long long>(stored.value().id));
        std::fflush(stdout);
    }
    return 0;
}
