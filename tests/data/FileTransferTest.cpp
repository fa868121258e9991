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
