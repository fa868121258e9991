#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>
#include <algorithm>
#include <map>

#include "Catalogue.h"
#include "ChooserBench.h"

namespace {
const QString kLoadCaption = QStringLiteral("Scegli la configurazione da caricare in centralina");
const QString kSaveFirst = QStringLiteral("Salvare i dati in memoria in un file?");

// Every variable of the ECU that a configuration fills, by number.
std::map<int, std::vector<int32_t>> configurationInEcu(const ChooserBench& bench) {
    std::map<int, std::vector<int32_t>> memory;
    for (const CatalogueRow& row : Catalogue::rows()) {
        if (row.id == 0 || row.number == Catalogue::kSerialNumber) continue;
        const int variable =
            row.number == Catalogue::kPressureCoefficients ? 124 : static_cast<int>(row.id & 0xFF);
        memory[variable] = bench.ecu->ecu().values(variable);
    }
    // The description ends at its first zero; what lies beyond is no part of it.
    std::vector<int32_t>& header = memory[53];
    const auto end = std::find(header.begin() + 2, header.end(), 0);
    std::fill(end, header.end(), 0);
    return memory;
}

void write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The item picked by the arrow keys is read into memory and, with the ECU connected, every
// group goes into the ECU: its memory is the file's again, its serial number its own.
TEST(LoadChooserTest, ThePickedFileGoesIntoMemoryAndIntoTheConnectedEcu) {
    ChooserBench bench(sim::VirtualEcuOptions{});
    bench.SaveAs(QStringLiteral("Golf"));
    const auto golf = configurationInEcu(bench);
    ASSERT_TRUE(QFile::copy(bench.Lpg("Golf.kv4"), bench.Lpg("Alfa.kv4")));
    ASSERT_TRUE(QFile::copy(bench.Lpg("Golf.kv4"), bench.Lpg("Zeta.kv8")));
    // Another car's configuration in the ECU.
    sim::VirtualEcu& ecu = bench.ecu->ecu();
    ecu.setValue(84, 3 * 6 + 2, 177);  // a K-map cell
    ecu.setValue(124, 4, -1234);       // a pressure coefficient
    ecu.setValue(53, 2, 'P');          // the description
    ecu.setValue(15, 0, 77);           // the changeover temperature
    const std::vector<int32_t> serial = ecu.values(0);
    ASSERT_NE(configurationInEcu(bench), golf);

    ASSERT_TRUE(bench.RunEntry(ChooserBench::kLoadEntry, [&](TFormFile& chooser) {
        EXPECT_EQ(chooser.windowTitle(), kLoadCaption);
        EXPECT_FALSE(chooser.EditName->isVisible());
        EXPECT_FALSE(chooser.Radio34Cilindri->isVisible());
        EXPECT_FALSE(chooser.Radio34568Cilindri->isVisible());
        EXPECT_EQ(Captions(chooser), (QStringList{"Alfa", "Golf"}));  // the connected model's
        EXPECT_EQ(chooser.focusWidget(), chooser.ListFile);
        EXPECT_EQ(chooser.EditName->text(), QStringLiteral("Alfa"));
        Press(chooser.focusWidget(), Qt::Key_Down);
        EXPECT_EQ(chooser.EditName->text(), QStringLiteral("Golf"));
        Press(chooser.focusWidget(), Qt::Key_Return);
    }));
    EXPECT_TRUE(bench.dialogs.shown().empty()) << bench.dialogs.texts().join('|').toStdString();
    EXPECT_EQ(configurationInEcu(bench), golf);
    EXPECT_EQ(ecu.values(0), serial);
    EXPECT_EQ(bench.data->GetDescription(), QStringLiteral("Golf"));
    EXPECT_FALSE(bench.data->IsModified());
    EXPECT_FALSE(ecu.saveOpen());
    EXPECT_TRUE(bench.data->IsConnected());
    EXPECT_EQ(QDir::currentPath(), bench.Workshop());
}

// Without an ECU the model buttons choose the files; the model of the loaded file is recorded.
// A name that is no file of the model says so; a double click acts only on an item.
TEST(LoadChooserTest, WithoutEcuTheCheckedModelChoosesTheFilesAndIsRecorded) {
    ChooserBench bench(std::nullopt);
    bench.SaveAs(QStringLiteral("Golf"));
    ASSERT_TRUE(bench.RunEntry(ChooserBench::kSaveEntry, [&](TFormFile& chooser) {
        EXPECT_TRUE(chooser.Radio34Cilindri->isChecked());
        Press(chooser.Radio34568Cilindri, Qt::Key_Space);
        TypeName(chooser, QStringLiteral("Punto"));
        Press(chooser.EditName, Qt::Key_Return);
    }));
    EXPECT_TRUE(QFile::exists(bench.Lpg("Punto.kv8")));
    EXPECT_EQ(bench.data->Identity(1), 30);  // saving records no model
    ASSERT_TRUE(bench.data->SetVehicleText(3, QStringLiteral("1.2 8V")));

    bench.dialogs.answer(Dialogs::Answer::No);  // not worth saving, twice
    bench.dialogs.answer(Dialogs::Answer::No);
    ASSERT_TRUE(bench.RunEntry(ChooserBench::kLoadEntry, [&](TFormFile& chooser) {
        EXPECT_TRUE(chooser.Radio34568Cilindri->isVisible());
        EXPECT_TRUE(chooser.Radio34Cilindri->isChecked());
        EXPECT_EQ(Captions(chooser), QStringList{"Golf"});
        Press(chooser.Radio34568Cilindri, Qt::Key_Space);
        EXPECT_EQ(Captions(chooser), QStringList{"Punto"});
        Press(chooser.ListFile, Qt::Key_Return);  // still Golf's name: no Golf.kv8
        EXPECT_TRUE(chooser.isVisible());

        QWidget* rows = chooser.ListFile->viewport();
        DoubleClick(rows, QPoint(4, rows->height() - 4));
        EXPECT_TRUE(chooser.isVisible());
        const QRect punto = chooser.ListFile->visualItemRect(chooser.ListFile->topLevelItem(0));
        DoubleClick(rows, punto.center());
    }));
    EXPECT_EQ(
        bench.dialogs.texts(),
        (QStringList{kSaveFirst, "ATTENZIONE: problemi nell'apertura del file.", kSaveFirst}));
    EXPECT_EQ(bench.dialogs.shown()[1].icon, Dialogs::Icon::Error);
    EXPECT_EQ(bench.data->Identity(1), 31);
    EXPECT_EQ(bench.data->Store().vehicle().description, QStringLiteral("Punto"));
    EXPECT_TRUE(bench.data->Store().vehicle().engine.isEmpty());
}

// Unsaved data and the question: Cancel loads nothing; Yes saves through the standard
// dialog first, and a save that did not happen loads nothing either.
TEST(LoadChooserTest, UnsavedDataIsSavedFirstOrNothingIsLoaded) {
    ChooserBench bench(std::nullopt);
    bench.SaveAs(QStringLiteral("Golf"));
    ASSERT_TRUE(bench.data->SetVehicleText(3, QStringLiteral("1.2 8V")));
    bench.dialogs.clear();
    bench.dialogs.answer(Dialogs::Answer::Cancel);
    bench.dialogs.answer(Dialogs::Answer::Yes);
    bench.dialogs.chooseFile(QString());  // the save dialog cancelled
    bench.dialogs.answer(Dialogs::Answer::Yes);
    const QString copy = QDir(bench.Workshop()).filePath(QStringLiteral("Copia.kv4"));
    bench.dialogs.chooseFile(copy);

    ASSERT_TRUE(bench.RunEntry(ChooserBench::kLoadEntry, [&](TFormFile& chooser) {
        for (int attempt = 0; attempt < 2; ++attempt) {
            Press(chooser.focusWidget(), Qt::Key_Return);
            EXPECT_TRUE(chooser.isVisible()) << attempt;
            EXPECT_EQ(bench.data->Store().vehicle().engine, QStringLiteral("1.2 8V"));
        }
        Press(chooser.focusWidget(), Qt::Key_Return);
    }));
    EXPECT_EQ(bench.dialogs.texts(), (QStringList{kSaveFirst, kSaveFirst, kSaveFirst}));
    for (const auto& question : bench.dialogs.shown()) {
        EXPECT_EQ(question.title, kLoadCaption);
        EXPECT_EQ(question.icon, Dialogs::Icon::Warning);
        EXPECT_EQ(question.buttons, Dialogs::Buttons::YesNoCancel);
    }
    EXPECT_EQ(bench.dialogs.fileDialogs().size(), 2u);
    EXPECT_TRUE(bench.Decoded(copy).contains(QStringLiteral("Motore=1.2 8V")));
    EXPECT_TRUE(bench.data->Store().vehicle().engine.isEmpty());  // Golf's
    EXPECT_FALSE(bench.data->IsModified());
}

// No file of the connected model: the load command says so and opens nothing; with one, the
// list holds only that model's files.
TEST(LoadChooserTest, WithNoFileOfTheConnectedModelNothingOpens) {
    ChooserBench bench(sim::VirtualEcuOptions{.model = 31});
    write(bench.Lpg("Golf.kv4"), "x");
    EXPECT_FALSE(bench.RunEntry(ChooserBench::kLoadEntry, [](TFormFile&) {}));
    EXPECT_EQ(bench.dialogs.texts(), QStringList{"Nessun file presente in memoria!"});
    EXPECT_EQ(bench.dialogs.last().icon, Dialogs::Icon::Warning);
    EXPECT_EQ(bench.dialogs.last().title, bench.form->windowTitle());
    EXPECT_EQ(QDir::currentPath(), bench.Workshop());

    write(bench.Lpg("Punto.kv8"), "x");
    EXPECT_TRUE(bench.RunEntry(ChooserBench::kLoadEntry, [](TFormFile& chooser) {
        EXPECT_EQ(Captions(chooser), QStringList{"Punto"});
        Press(chooser.focusWidget(), Qt::Key_Escape);
    }));
    EXPECT_EQ(bench.dialogs.texts().size(), 1);
}

// A file that cannot be read, or an ECU that refuses the writes: each is reported and the
// window stays open for another try.
TEST(LoadChooserTest, FailedLoadsAreReportedAndTheWindowStays) {
    ChooserBench bench(sim::VirtualEcuOptions{});
    bench.SaveAs(QStringLiteral("Golf"));
    write(bench.Lpg("Rotto.kv4"), QByteArray("\x01\x02 non una configurazione", 26));
    bench.ecu->refuseWrites(true);
    bench.dialogs.clear();
    ASSERT_TRUE(bench.RunEntry(ChooserBench::kLoadEntry, [&](TFormFile& chooser) {
        Press(chooser.focusWidget(), Qt::Key_Return);  // Golf
        EXPECT_TRUE(chooser.isVisible());
        Press(chooser.focusWidget(), Qt::Key_Down);
        Press(chooser.focusWidget(), Qt::Key_Return);  // Rotto
        EXPECT_TRUE(chooser.isVisible());
        Press(chooser.focusWidget(), Qt::Key_Escape);
    }));
    const QStringList texts = bench.dialogs.texts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts[0].startsWith("Impossibile scrivere la configurazione in centralina.\n"))
        << texts[0].toStdString();
    EXPECT_EQ(texts[1], "Impossibile caricare la configurazione dal file.\n" +
                            QDir::toNativeSeparators(bench.Lpg("Rotto.kv4")) +
                            "\nImpossibile leggere i dati dal file impostato");
    for (const auto& shown : bench.dialogs.shown()) EXPECT_EQ(shown.icon, Dialogs::Icon::Error);
}
}  // namespace
