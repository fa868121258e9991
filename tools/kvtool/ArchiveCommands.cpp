#include "ArchiveCommands.h"

#include <QDir>
#include <QFileInfo>

#include "ArchiveLocation.h"
#include "BuildProfile.h"
#include "ConfigSource.h"
#include "IniFile.h"
#include "KvTool.h"
#include "Scrambler.h"
#include "TQorGlobalData.h"
#include "WorkshopArchive.h"

namespace {
const QString kHeaderSection = QStringLiteral("Generale");
const QString kNameKey = QStringLiteral("NomeConfigurazione");

QString when(const QDateTime& time) {
    return time.isValid() ? time.toUTC().toString(Qt::ISODateWithMs) : QStringLiteral("-");
}

QString field(QString text) {
    // A field never splits its line or its neighbours.
    for (QChar& c : text)
        if (c == u'\t' || c == u'\n' || c == u'\r') c = u' ';
    return text;
}

QString id(qint64 value) { return QString::number(value); }

QString errorText(const ArchiveError& error) {
    return error.detail.isEmpty() ? QStringLiteral("the archive refused the request")
                                  : error.detail;
}

bool isConfigurationFile(const QFileInfo& file) {
    const QString suffix = file.suffix();
    for (int i = 0; i < 2; ++i)
        if (suffix.compare(BuildProfile::ConfigExtension(BuildProfile::ModelCode(i)),
                           Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString kindOf(ArchiveStoreOutcome::Kind kind) {
    switch (kind) {
        case ArchiveStoreOutcome::Kind::Stored:
            return QStringLiteral("stored");
        case ArchiveStoreOutcome::Kind::Noted:
            return QStringLiteral("noted");
        case ArchiveStoreOutcome::Kind::Queued:
            return QStringLiteral("queued");
    }
    return {};
}

QString kindOf(ArchiveSearchHit::Kind kind) {
    switch (kind) {
        case ArchiveSearchHit::Kind::Vehicle:
            return QStringLiteral("vehicle");
        case ArchiveSearchHit::Kind::Ecu:
            return QStringLiteral("ecu");
        case ArchiveSearchHit::Kind::Snapshot:
            return QStringLiteral("snapshot");
    }
    return {};
}
}  // namespace

QString ArchiveCommands::Usage() {
    return QStringLiteral(
        "       kvtool [--db SQLITE|postgresql://user@host:port/db] archive list\n"
        "       kvtool [--db ...] archive search TEXT | history SERIAL | journal SERIAL\n"
        "       kvtool [--db ...] [--key TEXT] archive export ID FILE\n"
        "       kvtool [--db ...] [--key TEXT] archive import FILE|FOLDER...\n");
}

int ArchiveCommands::Fail(const QString& message, int code) {
    err_ += QStringLiteral("kvtool: ") + message + u'\n';
    return code;
}

void ArchiveCommands::Line(const QStringList& fields) {
    QStringList clean;
    for (const QString& f : fields) clean.append(field(f));
    out_ += clean.join(u'\t').toUtf8() + '\n';
}

int ArchiveCommands::Run(const QStringList& words, const QString& db) {
    constexpr int kFailed = 1, kUsage = 2;
    const QString command = words.value(0);
    const qsizetype n = words.size();
    const bool known =
        (command == QLatin1String("list") && n == 1) ||
        ((command == QLatin1String("search") || command == QLatin1String("history") ||
          command == QLatin1String("journal")) &&
         n == 2) ||
        (command == QLatin1String("export") && n == 3) ||
        (command == QLatin1String("import") && n >= 2);
    if (!known) return Fail(QStringLiteral("bad archive command line"), kUsage);
    qint64 snapshotId = 0;
    if (command == QLatin1String("export")) {
        bool ok = false;
        snapshotId = words[1].toLongLong(&ok);
        if (!ok || snapshotId <= 0)
            return Fail(words[1] + QStringLiteral(": not a snapshot id"), kUsage);
    }

    const QString location = db.isEmpty()
                                 ? TQorGlobalData::ReadArchive(QStringLiteral("\\Software\\") +
                                                               BuildProfile::RegistrySubkey())
                                 : db;
    WorkshopArchive archive;
    const auto opened = archive.open(location, QDir::currentPath());
    const bool readOnly = archive.state() == WorkshopArchive::State::ReadOnly;
    if (!opened && !readOnly && archive.state() != WorkshopArchive::State::Queueing)
        return Fail(ArchiveLocation::parse(location, QDir::currentPath()).displayText() +
                        QStringLiteral(": ") + errorText(opened.error()),
                    kFailed);
    if (!opened) err_ += QStringLiteral("kvtool: ") + errorText(opened.error()) + u'\n';

    if (command == QLatin1String("list")) return List(archive);
    if (command == QLatin1String("search")) return Search(archive, words[1]);
    if (command == QLatin1String("history")) return History(archive, words[1]);
    if (command == QLatin1String("journal")) return Journal(archive, words[1]);
    if (command == QLatin1String("export")) return Export(archive, snapshotId, words[2]);
    return Import(archive, words.mid(1));
}

int ArchiveCommands::List(WorkshopArchive& archive) {
    const auto entries = archive.list();
    if (!entries) return Fail(errorText(entries.error()), 1);
    for (const ArchiveListEntry& e : entries.value())
        Line({id(e.latest.id), e.ecu.identity.serial, QString::number(e.ecu.identity.modelCode),
              e.vehicle.plate, e.vehicle.customerName, when(e.latest.time), e.latest.reason,
              e.latest.description});
    return 0;
}

int ArchiveCommands::Search(WorkshopArchive& archive, const QString& text) {
    const auto hits = archive.search(text);
    if (!hits) return Fail(errorText(hits.error()), 1);
    for (const ArchiveSearchHit& h : hits.value())
        Line({id(h.snapshotId), kindOf(h.kind), h.ecuSerial, h.text});
    return 0;
}

int ArchiveCommands::History(WorkshopArchive& archive, const QString& serial) {
    const auto entries = archive.history(serial);
    if (!entries) return Fail(serial + QStringLiteral(": ") + errorText(entries.error()), 1);
    for (const ArchiveHistoryEntry& e : entries.value())
        Line({id(e.snapshot.id), when(e.time), e.reason,
              e.noted ? QStringLiteral("noted") : QStringLiteral("stored"), e.description});
    return 0;
}

int ArchiveCommands::Journal(WorkshopArchive& archive, const QString& serial) {
    const auto entries = archive.journalOf(serial);
    if (!entries) return Fail(serial + QStringLiteral(": ") + errorText(entries.error()), 1);
    for (const ArchiveJournalEntry& j : entries.value())
        Line({id(j.id), when(j.entry.time), j.entry.sessionId,
              QString::number(j.entry.parameterKey), QString::number(j.entry.element),
              QString::number(j.entry.oldRaw), QString::number(j.entry.newRaw),
              j.entry.success ? QStringLiteral("ok") : QStringLiteral("refused")});
    return 0;
}

int ArchiveCommands::Export(WorkshopArchive& archive, qint64 snapshotId, const QString& file) {
    const QString idText = id(snapshotId);
    const auto snapshot = archive.snapshot(snapshotId);
    if (!snapshot) return Fail(idText + QStringLiteral(": ") + errorText(snapshot.error()), 1);
    const auto text = archive.snapshotText(snapshotId);
    if (!text) return Fail(idText + QStringLiteral(": ") + errorText(text.error()), 1);
    IniFile ini;
    if (!ConfigSource::IsConfigurationText(text.value(), ini))
        return Fail(idText + QStringLiteral(": the snapshot holds no configuration text"), 1);

    // The file gets the extension of the snapshot's model (an import's own) when it has none.
    QString path = file;
    if (QFileInfo(path).suffix().isEmpty()) {
        QString extension = QFileInfo(snapshot.value().fileName).suffix();
        if (const auto ecu = archive.ecu(snapshot.value().ecuSerial))
            extension = BuildProfile::ConfigExtension(ecu.value().identity.modelCode);
        if (!extension.isEmpty()) path += u'.' + extension;
    }
    // As the save command does, the file names itself.
    ini.SetValue(kHeaderSection, kNameKey, QFileInfo(path).fileName());
    const auto scrambled = Scrambler::Convert(ini.ToBytes(), false, true, key_);
    if (!scrambled || !Scrambler::WriteWholeFile(path, *scrambled))
        return Fail(path + QStringLiteral(": cannot write the file"), 1);
    Line({id(snapshotId), path});
    return 0;
}

int ArchiveCommands::Import(WorkshopArchive& archive, const QStringList& paths) {
    bool allOk = true;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (!info.isDir()) {
            allOk = ImportFile(archive, path) && allOk;
            continue;
        }
        const QFileInfoList files =
            QDir(path).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
        for (const QFileInfo& f : files)
            if (isConfigurationFile(f)) allOk = ImportFile(archive, f.filePath()) && allOk;
    }
    return allOk ? 0 : 1;
}

bool ArchiveCommands::ImportFile(WorkshopArchive& archive, const QString& path) {
    const auto bytes = Scrambler::ReadWholeFile(path, IniFile::kMaxSize);
    if (!bytes) return Fail(path + QStringLiteral(": cannot read the file"), 1) == 0;
    const auto plain = Scrambler::Convert(*bytes, true, true, key_);
    IniFile ini;
    if (!plain || !ConfigSource::IsConfigurationText(*plain, ini))
        return Fail(path + QStringLiteral(": not a configuration file (damaged, cut short or "
                                          "scrambled with another key)"),
                    1) == 0;
    const QFileInfo info(path);
    const QDateTime time = info.birthTime().isValid() ? info.birthTime() : info.lastModified();
    const auto stored =
        archive.importSnapshot(KvTool::PlainText(*plain), info.fileName(), time.toUTC());
    if (!stored) return Fail(path + QStringLiteral(": ") + errorText(stored.error()), 1) == 0;
    Line({id(stored.value().id), kindOf(stored.value().kind), path});
    return true;
}
