#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "OfflineStore.h"
#include "TransferEngine.h"

namespace {
class FileTransfer : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    OfflineStore offline;
    TStreamDati& data = offline.data;
    ParameterStore& store = data.Store();

    QString path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }
    void writePlain(const QString& file, const QByteArray& text) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("DECRYPTED_MLTP_FILE\r\n" + text);
    }
};

TEST_F(FileTransfer, SavedFileLoadsBackEveryRowWithAKey) {
    store.set(22, 0, 1700);
    store.set(6, 0, 8);
    store.set(6, 1, 9);
    store.set(10, 8 * 12 + 8, 201);  // last line of an 8 x 9 map
    store.set(58, 4, -99);
    store.set(80, 15, -5);
    store.set(61, 14, -2000);
    store.setPressureByteForm(false);
    store.set(Catalogue::kHeader, 0, 0);  // not official
    data.SetVehicleText(3, "1.2 8V");
    data.SetVehicleText(1, "Fiat Panda 1.2 8V Dynamic, impianto sequenziale");
    ASSERT_EQ(data.GetDescription(), "Standard");
    std::vector<std::vector<int32_t>> saved;
    for (const CatalogueRow& row : Catalogue::rows()) saved.push_back(store.values(row.number));
    const VehicleRecord vehicle = store.vehicle();

    const QString file = path("auto.kv4");
    ASSERT_TRUE(data.Transfer(TStreamDati::kSaveFile, file)) << data.LastError().toStdString();
    EXPECT_FALSE(data.IsModified());
    QFile scrambled(file);
    ASSERT_TRUE(scrambled.open(QIODevice::ReadOnly));
    EXPECT_TRUE(scrambled.readAll().startsWith("ENCRYPTED_MLTP_FILE\r\n"));

    OfflineStore fresh;
    ASSERT_TRUE(fresh.data.Transfer(TStreamDati::kLoadDefaults, file))
        << fresh.data.LastError().toStdString();
    ParameterStore& loaded = fresh.data.Store();
    EXPECT_EQ(loaded.kRows(), 8);
    EXPECT_EQ(loaded.kColumns(), 9);
    for (const CatalogueRow& row : Catalogue::rows()) {
        SCOPED_TRACE(row.number);
        const auto& before = saved[static_cast<size_t>(row.number - 1)];
        const auto& after = loaded.values(row.number);
        if (!row.hasFileKey() && row.number != Catalogue::kHeader) {
            continue;  // never in the file
        }
        for (int e : Catalogue::activeElements(row, 8, 9))
            if (row.number != Catalogue::kHeader || e < 2) {  // the description: below
                EXPECT_EQ(after[static_cast<size_t>(e)], before[static_cast<size_t>(e)]) << e;
            }
    }
    EXPECT_FALSE(loaded.pressureByteForm());
    EXPECT_EQ(loaded.vehicle(), vehicle);
    EXPECT_FALSE(fresh.data.IsOfficial());
    // The record's longer description went to the file; its first 28 characters are the
    // description the ECU gets.
    EXPECT_EQ(fresh.data.GetDescription(), "Fiat Panda 1.2 8V Dynamic, i");
}

TEST_F(FileTransfer, MissingKeysKeepDefaultsAndExtraKeysAreAccepted) {
    const QString file = path("parziale.kv4");
    writePlain(file,
               "[Accensione-Cambio]\r\nGiriPerCambio=1800\r\nSconosciuta=5\r\n"
               "[Altro]\r\nX=1\r\n"
               "[Arricchimento]\r\nTempoMaxCorrente=9000\r\nTempoMaxCorrente1=100\r\n"
               "SafeDelay=10\r\n"
               "[Generale]\r\nDescrizAuto=Una descrizione che supera i ventotto caratteri\r\n"
               "Ufficiale=0\r\nPotenza=7350\r\n"
               "[PressioneDifferenziale]\r\nCoeffPressDiffByte=0\r\n");
    store.set(23, 0, 99);
    ASSERT_TRUE(data.Transfer(TStreamDati::kLoadDefaults, file)) << data.LastError().toStdString();
    EXPECT_EQ(store.value(22), 1800);
    EXPECT_EQ(store.value(23), 60);       // not in the file: the default
    EXPECT_EQ(store.value(47, 0), 7813);  // bounded to 20 ms
    EXPECT_EQ(store.value(47, 1), 100);   // under 1.5 ms: kept
    EXPECT_EQ(store.value(73), 781);      // under 0.1 ms: 2 ms
    EXPECT_EQ(data.GetDescription(), "Una descrizione che supera i");
    EXPECT_EQ(store.vehicle().description, "Una descrizione che supera i ventotto caratteri");
    EXPECT_FALSE(data.IsOfficial());
    EXPECT_FLOAT_EQ(store.vehicle().power, 73.5f);
    EXPECT_FALSE(store.pressureByteForm());
    EXPECT_EQ(store.kColumns(), 6);
    EXPECT_FALSE(data.IsModified());
}

TEST_F(FileTransfer, SafeDelayUnderATenthOfAMillisecondBecomesTwo) {
    // At the standard 2560 ns a count, 39 counts are 0.09984 ms and 40 counts 0.1024 ms.
    const struct {
        int32_t inFile;
        int32_t stored;
    } cases[] = {{0, 781}, {38, 781}, {39, 781}, {40, 40}, {781, 781}};
    const QString file = path("ritardo.kv4");
    for (const auto& c : cases) {
        writePlain(file, "[Arricchimento]\r\nSafeDelay=" + QByteArray::number(c.inFile) + "\r\n");
        ASSERT_TRUE(data.Transfer(TStreamDati::kLoadDefaults, file));
        EXPECT_EQ(store.value(73), c.stored) << c.inFile;
    }
}

TEST_F(FileTransfer, UnusableKMapSizeInAFileKeepsTheOneInForce) {
    const QString file = path("mappa.kv4");
    writePlain(file,
               "[MappaCoefficientiK]\r\nNumeroRighe=40\r\nNumeroColonne=6\r\nMappaK0_0=1\r\n");
    ASSERT_TRUE(data.Transfer(TStreamDati::kLoadDefaults, file));
    EXPECT_EQ(store.kRows(), 12);
    EXPECT_EQ(store.value(10, 0), 1);
}

TEST_F(FileTransfer, UnreadableFileFailsAndChangesNothing) {
    store.set(22, 0, 1234);
    EXPECT_FALSE(data.Transfer(TStreamDati::kLoadDefaults, path("manca.kv4")));
    EXPECT_EQ(data.LastError(), "Impossibile leggere i dati dal file impostato");
    EXPECT_EQ(store.value(22), 1234);
    EXPECT_FALSE(data.IsSourceOpen());
}
}  // namespace
