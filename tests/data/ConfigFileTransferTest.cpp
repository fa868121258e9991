#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "BuildProfile.h"
#include "Catalogue.h"
#include "ConfigBaseLibrary.h"
#include "ConfigSource.h"
#include "EcuStore.h"
#include "IniFile.h"
#include "PrivateTemp.h"
#include "Scrambler.h"
#include "TimeBase.h"

namespace {

const QByteArray kDecrypted = "DECRYPTED_MLTP_FILE\r\n";

// The file keys of a store: every element of every row that has one, for its K-map size.
struct FileValue {
    int row;
    int element;
    QString section;
    QString key;
};
std::vector<FileValue> FileValues(const ParameterStore& store) {
    std::vector<FileValue> out;
    for (const CatalogueRow& row : Catalogue::rows()) {
        if (!row.hasFileKey()) continue;
        std::vector<int> elements = Catalogue::activeElements(row, store.kRows(), store.kColumns());
        if (row.keys == KeyStyle::Single) elements = {0};
        for (int e : elements)
            out.push_back({row.number, e, Catalogue::section(row, e), Catalogue::key(row, e)});
    }
    return out;
}

class ConfigFileTransfer : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(library_.Load()) << library_.LoadError().toStdString();
        saved_ = ConfigBaseLibrary::Current();
        ConfigBaseLibrary::SetCurrent(&library_);
    }
    void TearDown() override { ConfigBaseLibrary::SetCurrent(saved_); }

    QString Path(const QString& name) const { return work_.filePath(name); }
    QByteArray Read(const QString& name) const {
        return Scrambler::ReadWholeFile(Path(name)).value_or(QByteArray());
    }
    void Write(const QString& name, const QByteArray& bytes) {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // The plain text of a configuration file on disk.
    IniFile Decoded(const QString& name) const {
        IniFile ini;
        ini.Parse(Scrambler::Convert(Read(name), true, true, BuildProfile::ScrambleKey())
                      .value_or(QByteArray()));
        return ini;
    }

    PrivateTemp temp_;
    QTemporaryDir work_;
    ConfigBaseLibrary library_;
    ConfigBaseLibrary* saved_ = nullptr;
};

// A store with a value of its own in every file key, none of them a default.
void MakeEveryValueDistinct(TStreamDati& data) {
    ParameterStore& store = data.Store();
    const int32_t tick = store.tick();
    for (const FileValue& v : FileValues(store)) {
        const CatalogueRow& row = Catalogue::row(v.row);
        int32_t& value = store.values(v.row)[static_cast<size_t>(v.element)];
        switch (v.row) {
            case Catalogue::kKMapSize:
                continue;                     // the shape of the tables: kept
            case Catalogue::kMaxCurrentTime:  // within its bounds of 20 ms and 1.5 ms
                value = TimeBase::ToRaw(v.element == 0 ? 17.5 : 1.25, tick);
                continue;
            case 73:  // "SafeDelay": at least 0.1 ms
                value = TimeBase::ToRaw(3.5, tick);
                continue;
            default:
                break;
        }
        value = row.isSigned() ? value - 3 - v.element % 5 : value + 3 + v.element % 5;
        if (row.width() == 1) value = row.isSigned() ? std::max(value, -128) : std::min(value, 255);
        if (row.keys == KeyStyle::Single)
            std::fill(store.values(v.row).begin(), store.values(v.row).end(), value);
    }
    ASSERT_TRUE(data.SetVehicleText(1, QStringLiteral("Punto 1.2 8V \u00e8 una berlina a cinque "
                                                      "porte degli anni")));
    VehicleRecord& vehicle = store.vehicle();
    vehicle.euro = "Euro 4";
    vehicle.displacement = 1242;
    vehicle.valves = 8;
    vehicle.cylinders = 4;
    vehicle.power = 44.25f;
    vehicle.engine = "188A4000";
    vehicle.ecu = "IAW 59F";
    vehicle.gearbox = "manuale";
    vehicle.year = 2004;
    store.setPressureByteForm(false);
}

// Every file key holding a value of its own, not a default, comes back, in a K map of another
// size than the base's; the serial number never goes to a file.
TEST_F(ConfigFileTransfer, EveryValueSavedLoadsBackButNotTheSerialNumber) {
    OfflineStore saved;
    ASSERT_TRUE(saved.data.Transfer(TStreamDati::kLoadDefaults, {}, 20));
    ASSERT_NE(saved.data.Store().kRows(), 8);
    saved.data.Store().set(Catalogue::kKMapSize, 0, 8);
    saved.data.Store().set(Catalogue::kKMapSize, 1, 9);
    MakeEveryValueDistinct(saved.data);
    saved.data.Store().set(Catalogue::kSerialNumber, 0, 'Q');
    saved.data.Store().set(Catalogue::kHeader, 0, 0);  // not official
    ASSERT_TRUE(saved.data.Transfer(TStreamDati::kSaveFile, Path("punto.kv4")))
        << saved.data.LastError().toStdString();
    EXPECT_FALSE(saved.data.IsModified());
    EXPECT_TRUE(temp_.Copies().isEmpty());
    EXPECT_TRUE(Read("punto.kv4").startsWith("ENCRYPTED_MLTP_FILE\r\n"));

    OfflineStore loaded;
    ASSERT_TRUE(loaded.data.Transfer(TStreamDati::kLoadDefaults, Path("punto.kv4")))
        << loaded.data.LastError().toStdString();
    const ParameterStore& a = saved.data.Store();
    const ParameterStore& b = loaded.data.Store();
    EXPECT_EQ(b.kRows(), 8);
    EXPECT_EQ(b.kColumns(), 9);
    EXPECT_FALSE(loaded.data.IsOfficial());
    for (const FileValue& v : FileValues(a))
        EXPECT_EQ(b.value(v.row, v.element), a.value(v.row, v.element))
            << v.section.toStdString() << "/" << v.key.toStdString();
    EXPECT_EQ(b.value(Catalogue::kHeader, 0), a.value(Catalogue::kHeader, 0));  // flags
    EXPECT_EQ(b.vehicle(), a.vehicle());
    EXPECT_EQ(b.pressureByteForm(), a.pressureByteForm());
    // One key holds both descriptions: the ECU gets the first 28 characters of the record's.
    EXPECT_EQ(loaded.data.GetDescription(), a.vehicle().description.left(28));
    // The serial number never goes to a file.
    EXPECT_EQ(loaded.data.GetSerialNumber(), "SerialNumberNotInEcu");
    EXPECT_TRUE(temp_.Copies().isEmpty());

    const IniFile ini = Decoded("punto.kv4");
    EXPECT_EQ(ini.Value("Generale", "NomeConfigurazione"), "punto.kv4");
    EXPECT_EQ(ini.Value("Generale", "VersioneFile"), "1");
    EXPECT_EQ(ini.Value("Generale", "Potenza"), "4425");
    EXPECT_EQ(ini.Value("Generale", "N cilindri"), "4");
}

// Every form a configuration file comes in loads, and is scrambled with its header after.
TEST_F(ConfigFileTransfer, EveryFileFormLoadsAndIsScrambledAfter) {
    const QByteArray text = "[Accensione-Cambio]\r\nGiriPerCambio=1750\r\n";
    QByteArray scrambled = text;
    Scrambler::Transform(scrambled, *Scrambler::KeyBytes(BuildProfile::ScrambleKey()));
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"plain", kDecrypted + text},
        {"scrambled without header", scrambled},
        {"scrambled", "ENCRYPTED_MLTP_FILE\r\n" + scrambled},
    };
    for (const Case& c : cases) {
        Write("forma.kv4", c.bytes);
        OfflineStore loaded;
        ASSERT_TRUE(loaded.data.Transfer(TStreamDati::kLoadDefaults, Path("forma.kv4"))) << c.name;
        EXPECT_EQ(loaded.data.Store().value(22), 1750) << c.name;
        EXPECT_EQ(Read("forma.kv4"), "ENCRYPTED_MLTP_FILE\r\n" + scrambled) << c.name;
    }
    EXPECT_TRUE(temp_.Copies().isEmpty());
}

TEST_F(ConfigFileTransfer, BadFilesFailAndChangeNothing) {
    OfflineStore loaded;
    ASSERT_TRUE(loaded.data.Transfer(TStreamDati::kLoadDefaults, {}, 20));
    const std::vector<std::vector<int32_t>> before = [&] {
        std::vector<std::vector<int32_t>> rows;
        for (const CatalogueRow& row : Catalogue::rows())
            rows.push_back(loaded.data.Store().values(row.number));
        return rows;
    }();
    QByteArray garbage;
    for (int i = 0; i < 700; ++i) garbage.append(static_cast<char>((i * 7919 + 3) % 256));
    OfflineStore writer;
    ASSERT_TRUE(writer.data.Transfer(TStreamDati::kSaveFile, Path("good.kv4")));
    const QByteArray good = Read("good.kv4");
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"truncated", good.left(good.size() / 2 + 3)},
        {"binary garbage", garbage},
    };
    for (const Case& c : cases) {
        Write("bad.kv4", c.bytes);
        EXPECT_FALSE(loaded.data.Transfer(TStreamDati::kLoadDefaults, Path("bad.kv4"))) << c.name;
        EXPECT_EQ(loaded.data.LastError(), ConfigSource::kReadFailed) << c.name;
        EXPECT_EQ(Read("bad.kv4"), c.bytes) << c.name;
        EXPECT_TRUE(temp_.Copies().isEmpty()) << c.name;
    }
    EXPECT_FALSE(loaded.data.Transfer(TStreamDati::kLoadDefaults, Path("none.kv4")));
    EXPECT_EQ(loaded.data.LastError(), ConfigSource::kReadFailed);
    EXPECT_FALSE(QFile::exists(Path("none.kv4")));
    EXPECT_FALSE(loaded.data.Transfer(TStreamDati::kLoadDefaults, {}, 99999));
    EXPECT_EQ(loaded.data.LastError(), ConfigSource::kResourceFailed);
    for (const CatalogueRow& row : Catalogue::rows())
        EXPECT_EQ(loaded.data.Store().values(row.number),
                  before[static_cast<size_t>(row.number - 1)])
            << row.number;
    EXPECT_TRUE(temp_.Copies().isEmpty());
}

// A save that cannot be completed (the file size limit stands for a full disk) keeps the
// old file and fails.
TEST_F(ConfigFileTransfer, FailedSaveKeepsTheOldFile) {
    OfflineStore data;
    ASSERT_TRUE(data.data.Transfer(TStreamDati::kLoadDefaults, {}, 10));
    ASSERT_TRUE(data.data.Transfer(TStreamDati::kSaveFile, Path("old1.kv4")));
    const QByteArray old = Read("old1.kv4");
    ASSERT_TRUE(data.data.Transfer(TStreamDati::kLoadDefaults, {}, 20));
    data.data.SetModified(true);

    struct rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto* oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = saved;
    limit.rlim_cur = static_cast<rlim_t>(old.size() - 10);  // the copy fits, the file not
    setrlimit(RLIMIT_FSIZE, &limit);
    const bool ok = data.data.Transfer(TStreamDati::kSaveFile, Path("old1.kv4"));
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(ok);
    EXPECT_EQ(data.data.LastError(), ConfigSource::kWriteFailed);
    EXPECT_EQ(Read("old1.kv4"), old);
    EXPECT_EQ(QDir(work_.path()).entryList(QDir::Files), QStringList{"old1.kv4"});
    EXPECT_TRUE(temp_.Copies().isEmpty());
    EXPECT_TRUE(data.data.IsModified());  // still to be saved

    EXPECT_FALSE(data.data.Transfer(TStreamDati::kSaveFile, Path("no/folder/x.kv4")));
    EXPECT_EQ(data.data.LastError(), ConfigSource::kWriteFailed);
    // A name too long for the store is refused, not cut to another file's.
    const QString longName = Path(QString(260, QLatin1Char('n')) + ".kv4");
    EXPECT_FALSE(data.data.Transfer(TStreamDati::kSaveFile, longName));
    EXPECT_EQ(data.data.LastError(), ConfigSource::kWriteFailed);
    EXPECT_FALSE(data.data.Transfer(TStreamDati::kLoadDefaults, longName));
    EXPECT_EQ(data.data.LastError(), ConfigSource::kReadFailed);
    EXPECT_EQ(QDir(work_.path()).entryList(QDir::Files), QStringList{"old1.kv4"});
}

// Every base configuration fills every file key of the catalogue: each key is in its text
// and the store ends up holding the text's value.
TEST_F(ConfigFileTransfer, EveryBaseConfigurationLoadsWithEveryKey) {
    for (int32_t number : {1, 10, 11, 20, 21}) {
        SCOPED_TRACE(number);
        IniFile text;
        text.Parse(*Scrambler::UnscrambleResourceBytes(*library_.Resource(number), true,
                                                       BuildProfile::ScrambleKey()));
        OfflineStore loaded;
        ASSERT_TRUE(loaded.data.Transfer(TStreamDati::kLoadDefaults, {}, number))
            << loaded.data.LastError().toStdString();
        const ParameterStore& store = loaded.data.Store();
        for (const FileValue& v : FileValues(store)) {
            const auto value = text.Value(v.section, v.key);
            ASSERT_TRUE(value) << v.section.toStdString() << "/" << v.key.toStdString();
            EXPECT_EQ(store.value(v.row, v.element), value->toInt()) << v.key.toStdString();
        }
        for (const char* key : {"DescrizAuto", "Ufficiale", "Euro", "CentCubici", "Valvole",
                                "N cilindri", "Potenza", "Motore", "Centralina", "Cambio",
                                "AnnoVettura", "NomeConfigurazione", "VersioneFile"})
            EXPECT_TRUE(text.Value("Generale", key)) << key;
        EXPECT_TRUE(text.Value("PressioneDifferenziale", "CoeffPressDiffByte"));
        EXPECT_EQ(loaded.data.GetDescription(),
                  text.Value("Generale", "DescrizAuto").value_or("?"));
        EXPECT_EQ(loaded.data.GetOption(1) != 0, number / 10 == 2);  // CNG: 20, 21
    }
    EXPECT_TRUE(temp_.Copies().isEmpty());
}

class ConfigFileOnEcu : public EcuStore {
  protected:
    PrivateTemp temp_;
    QTemporaryDir work_;
};

// A file saved with the ECU connected runs the save sequence around the transfer and
// reconnects; the file is written all the same.
TEST_F(ConfigFileOnEcu, SaveWhileConnectedRunsTheSaveSequence) {
    start();
    ASSERT_TRUE(data->Transfer(TStreamDati::kReadEcu));
    loop->clearTrace();
    const QString file = work_.filePath("auto.kv4");
    ASSERT_TRUE(data->Transfer(TStreamDati::kSaveFile, file)) << data->LastError().toStdString();
    const int open = firstInTrace("SendCommand 17");
    const int close = firstInTrace("SendCommand 18");
    const int bye = firstInTrace("Disconnect", close);
    EXPECT_GE(open, 0);
    EXPECT_LT(open, close);
    EXPECT_LT(close, bye);
    EXPECT_GT(firstInTrace("Connect", bye), bye);
    EXPECT_FALSE(data->IsModified());
    EXPECT_TRUE(temp_.Copies().isEmpty());

    OfflineStore loaded;
    ASSERT_TRUE(loaded.data.Transfer(TStreamDati::kLoadDefaults, file));
    EXPECT_EQ(loaded.data.GetDescription(), data->GetDescription());
    for (const FileValue& v : FileValues(store()))
        EXPECT_EQ(loaded.data.Store().value(v.row, v.element), store().value(v.row, v.element))
            << v.key.toStdString();
}

}  // namespace
