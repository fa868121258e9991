// The loader of configuration files, as the program runs it: the bytes of a file through
// TStreamDati::Transfer (flag 1): the unscrambling into the temporary copy, the check of
// configuration text, the INI parse, the read of every catalogue key with its row rules and
// the scrambled write-back. Whatever loads must save and load again to the same store.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "Catalogue.h"
#include "Clock.h"
#include "TStreamDati.h"

namespace {

// The transfer's waits pass at once.
class InstantClock final : public Clock {
  public:
    qint64 nowMs() const override { return now_; }
    void waitMs(int ms) override { now_ += ms; }

  private:
    qint64 now_ = 0;
};

// They live for the whole run and are never destroyed: libFuzzer leaves through exit(), after
// Qt's own statics may be gone.
QCoreApplication* app = nullptr;
QTemporaryDir* folder = nullptr;
InstantClock instant;
TStreamDati* data = nullptr;

// What a configuration file holds of a store: every row with a file key, the record
// without the power (a float in the store, hundredths in the file).
std::vector<std::vector<int32_t>> Snapshot(const TStreamDati& d, VehicleRecord& vehicle,
                                           bool& byteForm) {
    std::vector<std::vector<int32_t>> rows;
    for (const CatalogueRow& row : Catalogue::rows())
        if (row.hasFileKey() || row.number == Catalogue::kHeader)
            rows.push_back(d.Store().values(row.number));
    vehicle = d.Store().vehicle();
    vehicle.power = 0;
    byteForm = d.Store().pressureByteForm();
    return rows;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    app = new QCoreApplication(*argc, *argv);
    // The files and temporary copies go to a folder of our own, in memory when there is one.
    const QString base =
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    folder = new QTemporaryDir(base + QStringLiteral("/fuzz-config-XXXXXX"));
    std::atexit([] { folder->remove(); });
    qputenv("TMPDIR", folder->path().toLocal8Bit());
    Clock::install(&instant);
    data = new TStreamDati(TStreamDati::Options{.loadLinkLibrary = false, .loadSettings = false});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const QString input = folder->filePath(QStringLiteral("input.kv4"));
    const QString saved = folder->filePath(QStringLiteral("saved.kv4"));
    {
        QFile file(input);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) abort();
        file.write(reinterpret_cast<const char*>(bytes), static_cast<qint64>(size));
    }
    if (!data->Transfer(TStreamDati::kLoadDefaults, input)) return 0;

    VehicleRecord vehicle, vehicleAgain;
    bool byteForm = false, byteFormAgain = false;
    const auto loaded = Snapshot(*data, vehicle, byteForm);
    if (!data->Transfer(TStreamDati::kSaveFile, saved)) abort();
    if (!data->Transfer(TStreamDati::kLoadDefaults, saved)) abort();
    if (Snapshot(*data, vehicleAgain, byteFormAgain) != loaded) abort();
    if (!(vehicleAgain == vehicle) || byteFormAgain != byteForm) abort();
    // Nothing of a transfer stays in the temporary folder.
    if (QDir(folder->path()).entryList({QStringLiteral("_mt*")}, QDir::Files).size() != 0) abort();
    return 0;
}
