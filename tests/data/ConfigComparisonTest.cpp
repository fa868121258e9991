#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "BuildProfile.h"
#include "ConfigBaseLibrary.h"
#include "ConfigComparison.h"
#include "ConfigReader.h"
#include "EcuStore.h"
#include "Scrambler.h"
#include "TemperatureCurve.h"
#include "TimeBase.h"

namespace {

// A hand-made configuration: the defaults, and the keys of text over them.
ParameterStore Config(const QByteArray& text = "[Accensione-Cambio]\nGiriPerCambio=1600\n") {
    ConfigReader::Result read = ConfigReader::FromText(text);
    EXPECT_TRUE(read.store) << read.error.toStdString();
    return read.store.value_or(ParameterStore{});
}

QStringList KeysOf(const ConfigComparison& comparison) {
    QStringList keys;
    for (const ConfigDifference& d : comparison.Differences()) keys << d.key;
    return keys;
}

struct Case {
    const char* what;
    QByteArray text;
    QStringList keys;
    const char* shownA;  // of the first difference
    const char* shownB;
};

TEST(ConfigComparison, ListsOnlyWhatDiffersShownAsTheEditorShowsIt) {
    const int32_t code30 = TemperatureCurve::Gas(0).ToCode(30);
    const QString degrees25 = QString::number(
        TemperatureCurve::Gas(0).ToDegrees(TemperatureCurve::Gas(0).ToCode(25)), 'f', 1);
    const QString degrees30 = QString::number(TemperatureCurve::Gas(0).ToDegrees(code30), 'f', 1);
    const Case cases[] = {
        {"equal", "[Accensione-Cambio]\nGiriPerCambio=1600\n", {}, "", ""},
        {"a scalar in rpm",
         "[Accensione-Cambio]\nGiriPerCambio=1800\n",
         {"GiriPerCambio"},
         "1600 rpm",
         "1800 rpm"},
        // The same threshold, another direction bit: what the ECU holds differs.
        {"the direction bit",
         "[Accensione-Cambio]\nGiriPerCambio=1601\n",
         {"GiriPerCambio"},
         "1600 rpm",
         "1600 rpm"},
        {"an array element", "[RiferimentiGiri]\nRifGiri3=2100\n", {"RifGiri3"}, "2000", "2100"},
        {"a temperature code",
         "[Accensione-Cambio]\nTemperaturaCambio=" + QByteArray::number(code30) + "\n",
         {"TemperaturaCambio"},
         "",
         ""},
        {"a time in timer counts",
         "[Iniezione]\nTempoAperturaIniettore=391\n",
         {"TempoAperturaIniettore"},
         "1.50 ms",
         "1.00 ms"},
        {"two keys and a text",
         "[Generale]\nDescrizAuto=Panda 1.2\n[Lambda]\nTipoDiLambda=40\n[Diagnosi]\nAzione1_2=3\n",
         {"TipoDiLambda", "Azione1_2", "DescrizAuto"},
         "0",
         "1"},
    };
    const ParameterStore base = Config();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ConfigComparison comparison(base, Config(c.text));
        EXPECT_EQ(KeysOf(comparison), c.keys);
        EXPECT_EQ(comparison.Count(), c.keys.size());
        EXPECT_EQ(comparison.Equal(), c.keys.isEmpty());
        if (c.keys.isEmpty() || !*c.shownA) continue;
        EXPECT_EQ(comparison.Differences()[0].a.shown, c.shownA);
        EXPECT_EQ(comparison.Differences()[0].b.shown, c.shownB);
    }

    const ConfigComparison threshold(base, Config("[Accensione-Cambio]\nGiriPerCambio=1601\n"));
    const ConfigDifference& d = threshold.Differences().at(0);
    EXPECT_TRUE(d.converted);
    EXPECT_EQ(d.a.raw, 1600);
    EXPECT_EQ(d.b.raw, 1601);
    EXPECT_EQ(d.Delta(), 1);

    const ConfigComparison temperature(
        base,
        Config("[Accensione-Cambio]\nTemperaturaCambio=" + QByteArray::number(code30) + "\n"));
    EXPECT_EQ(temperature.Differences().at(0).a.shown, degrees25 + " °C");
    EXPECT_EQ(temperature.Differences().at(0).b.shown, degrees30 + " °C");

    const ConfigComparison text(base, Config(cases[6].text));
    const ConfigDifference& description = text.Differences().at(2);
    EXPECT_TRUE(description.text);
    EXPECT_EQ(description.a.shown, "Standard");
    EXPECT_EQ(description.b.shown, "Panda 1.2");
}

TEST(ConfigComparison, TheSameCoefficientsInTheOtherFormAreEqual) {
    // The 16-bit form holds 30 times the 8-bit one; a store in either form is the same
    // configuration.
    const ParameterStore base = Config();
    ASSERT_TRUE(base.pressureByteForm());
    QByteArray words = "[PressioneDifferenziale]\nCoeffPressDiffByte=0\n";
    for (int i = 0; i < 15; ++i)
        words += "CoeffPressDiff" + QByteArray::number(i) + "=" +
                 QByteArray::number(base.value(Catalogue::kPressureCoefficients, i) * 30) + "\n";
    EXPECT_TRUE(ConfigComparison(base, Config(words)).Equal());

    words.replace("CoeffPressDiff0=" + QByteArray::number(base.value(61, 0) * 30),
                  "CoeffPressDiff0=" + QByteArray::number(base.value(61, 0) * 30 + 1));
    EXPECT_EQ(KeysOf(ConfigComparison(base, Config(words))), QStringList{"CoeffPressDiff0"});

    // Both in the 8-bit form: shown as held.
    const int32_t first = base.value(Catalogue::kPressureCoefficients, 0);
    const ConfigComparison bytes(base, Config("[PressioneDifferenziale]\nCoeffPressDiff0=" +
                                              QByteArray::number(first + 1) + "\n"));
    ASSERT_EQ(bytes.Count(), 1);
    EXPECT_EQ(bytes.Differences()[0].a.raw, first);
    EXPECT_EQ(bytes.Differences()[0].b.raw, first + 1);
}

TEST(ConfigComparison, KMapZoneAsAGridAndCellByCell) {
    const ParameterStore base = Config();
    ParameterStore changed = base;
    const int line = Catalogue::row(Catalogue::kKMap).lineLength();
    // A zone of two lines by two columns, 5 richer.
    for (int r = 2; r <= 3; ++r)
        for (int c = 1; c <= 2; ++c)
            changed.set(Catalogue::kKMap, r * line + c,
                        base.value(Catalogue::kKMap, r * line + c) + 5);
    const ConfigComparison comparison(base, changed);
    EXPECT_EQ(KeysOf(comparison),
              (QStringList{"MappaK2_1", "MappaK2_2", "MappaK3_1", "MappaK3_2"}));
    const KMapGrid& grid = comparison.KMap();
    EXPECT_EQ(grid.lines, Catalogue::kDefaultKRows + 1);
    EXPECT_EQ(grid.columns, Catalogue::kDefaultKColumns);
    EXPECT_EQ(grid.ChangedCount(), 4);
    EXPECT_TRUE(grid.At(3, 2).Changed());
    EXPECT_EQ(grid.At(3, 2).Delta(), 5);
    EXPECT_EQ(*grid.At(3, 2).a, base.value(Catalogue::kKMap, 3 * line + 2));
    EXPECT_FALSE(grid.At(3, 3).Changed());
    EXPECT_FALSE(grid.At(0, 1).Changed());
    EXPECT_EQ(comparison.Differences()[0].Delta(), 5);

    // A wider map: its extra column is held on one side only, in the grid and in the list.
    const ConfigComparison wider(base, Config("[MappaCoefficientiK]\nNumeroColonne=7\n"));
    EXPECT_EQ(wider.KMap().columns, 7);
    EXPECT_FALSE(wider.KMap().At(0, 6).a);
    EXPECT_TRUE(wider.KMap().At(0, 6).b);
    EXPECT_FALSE(wider.KMap().At(0, 5).Changed());
    const QStringList keys = KeysOf(wider);
    EXPECT_TRUE(keys.contains("NumeroColonne"));
    EXPECT_TRUE(keys.contains("MappaK12_6"));
    EXPECT_FALSE(keys.contains("MappaK12_5"));
    for (const ConfigDifference& d : wider.Differences()) {
        if (d.key == "MappaK12_6") {
            EXPECT_TRUE(!d.a.held && d.b.held);
        }
    }
}

TEST(ConfigComparison, NamesByTheCallersCaptionsElseByKey) {
    const ConfigComparison::Names names{
        [](const QString& section, const QString& key) -> std::optional<QString> {
            if (section == "Accensione-Cambio" && key == "GiriPerCambio")
                return QStringLiteral("Soglia giri per il cambio");
            return std::nullopt;
        },
        [](int number, const QString& design) {
            return number == 126 ? QStringLiteral("giri/min") : design;
        }};
    const ConfigComparison comparison(
        Config(), Config("[Accensione-Cambio]\nGiriPerCambio=1700\n[Lambda]\nRifLambda=30\n"),
        names);
    ASSERT_EQ(comparison.Count(), 2);
    EXPECT_EQ(comparison.Differences()[0].caption, "RifLambda");
    EXPECT_EQ(comparison.Differences()[0].b.shown, "0.59 V");
    EXPECT_EQ(comparison.Differences()[1].caption, "Soglia giri per il cambio");
    EXPECT_EQ(comparison.Differences()[1].b.shown, "1700 giri/min");
}

class ComparedWithEcu : public EcuStore {};

TEST_F(ComparedWithEcu, TheStoreAfterEditsAgainstTheFileSavedBefore) {
    start();
    ASSERT_TRUE(data->Transfer(TStreamDati::kReadEcu));
    QTemporaryDir dir;
    const QString saved = dir.filePath("prima.kv4");
    ASSERT_TRUE(data->Transfer(TStreamDati::kSaveFile, saved)) << data->LastError().toStdString();
    const ConfigReader::Result before = ConfigReader::FromFile(saved, BuildProfile::ScrambleKey());
    ASSERT_TRUE(before.store) << before.error.toStdString();
    EXPECT_TRUE(ConfigComparison(*before.store, store()).Equal());

    ASSERT_EQ(data->SetValue(528, 1850), 1);
    ASSERT_TRUE(data->SetKMapCell(4, 2, store().value(Catalogue::kKMap, 4 * 12 + 2) - 3));
    const ConfigComparison comparison(*before.store, store());
    EXPECT_EQ(KeysOf(comparison), (QStringList{"MappaK4_2", "GiriPerCambio", "Ufficiale"}));
    EXPECT_EQ(comparison.KMap().At(4, 2).Delta(), -3);
    // Reading compared the file and left it as it was.
    const auto bytes = Scrambler::ReadWholeFile(saved);
    ASSERT_TRUE(ConfigReader::FromFile(saved, BuildProfile::ScrambleKey()).store);
    EXPECT_EQ(Scrambler::ReadWholeFile(saved), bytes);
}

TEST(ConfigReader, RefusesWhatIsNoConfigurationAndReadsBaseConfigurations) {
    QTemporaryDir dir;
    const QString plain = dir.filePath("plain.kv4");
    QFile file(plain);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Accensione-Cambio]\nGiriPerCambio=1800\n");  // never scrambled: garbage
    file.close();
    for (const QString& name : {plain, dir.filePath("missing.kv4")}) {
        const ConfigReader::Result read = ConfigReader::FromFile(name, BuildProfile::ScrambleKey());
        EXPECT_FALSE(read.store);
        EXPECT_FALSE(read.error.isEmpty());
    }
    EXPECT_FALSE(ConfigReader::FromText("no sections here\n").store);

    ConfigBaseLibrary library;
    ASSERT_TRUE(library.Load()) << library.LoadError().toStdString();
    ConfigBaseLibrary* saved = ConfigBaseLibrary::Current();
    ConfigBaseLibrary::SetCurrent(&library);
    const ConfigReader::Result lpg = ConfigReader::FromResource(10, BuildProfile::ScrambleKey());
    const ConfigReader::Result cng = ConfigReader::FromResource(20, BuildProfile::ScrambleKey());
    ConfigBaseLibrary::SetCurrent(saved);
    ASSERT_TRUE(lpg.store && cng.store);
    const QStringList keys = KeysOf(ConfigComparison(*lpg.store, *cng.store));
    EXPECT_EQ(keys.value(0), "Flag1");
    EXPECT_TRUE(keys.contains("DescrizAuto"));
}

}  // namespace
