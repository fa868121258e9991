#include <gtest/gtest.h>

#include "Catalogue.h"
#include "DefaultValues.h"
#include "EcuVariable.h"

namespace {
TEST(Catalogue, RowsAreInOrderAndAgreeWithTheirIds) {
    const auto& rows = Catalogue::rows();
    ASSERT_EQ(rows.size(), 82u);
    for (size_t i = 0; i < rows.size(); ++i) {
        const CatalogueRow& r = rows[i];
        SCOPED_TRACE(r.number);
        EXPECT_EQ(r.number, static_cast<int>(i) + 1);
        if (r.id == 0) continue;
        if (r.extent == Extent::Fixed && r.number != Catalogue::kPressureCoefficients) {
            EXPECT_EQ(r.lineLength(), (r.id & 0x100u) ? Catalogue::countOf(r.id) : 1);
        }
        if (r.keys == KeyStyle::Named) {
            EXPECT_EQ(r.named.size(), static_cast<size_t>(r.elements));
        }
    }
}

TEST(Catalogue, WidthAndSignComeFromTheId) {
    const struct {
        int row;
        int width;
        bool isSigned;
    } cases[] = {{1, 2, false},  {4, 1, true},   {7, 2, true},  {9, 2, false},
                 {10, 1, false}, {22, 2, false}, {61, 2, true}, {11, 1, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(Catalogue::row(c.row).width(), c.width) << c.row;
        EXPECT_EQ(Catalogue::row(c.row).isSigned(), c.isSigned) << c.row;
    }
}

// The setters of the data module write single elements or whole variables of these rows.
TEST(Catalogue, NamedVariablesAreTheRowsOwn) {
    EXPECT_EQ(EcuVariable::kOptionFlags, Catalogue::row(Catalogue::kFlags).id);
    EXPECT_EQ(EcuVariable::kSerialNumber, 82176u);
    EXPECT_EQ(EcuVariable::kSerialNumber, Catalogue::row(Catalogue::kSerialNumber).id);
    EXPECT_EQ(EcuVariable::kPressureWords, Catalogue::row(Catalogue::kPressureCoefficients).id);
    EXPECT_EQ(EcuVariable::kPressureBytes, 62844u);
    EXPECT_EQ(EcuVariable::kBitFields, Catalogue::row(29).id);
    const struct {
        uint32_t id;
        int row;
    } elements[] = {
        {EcuVariable::kLevelSensorType, Catalogue::kLevelSensorType},
        {EcuVariable::kLevelReferences, Catalogue::kLevelReferences},
        {EcuVariable::kGasReferences, Catalogue::kGasReferences},
        {EcuVariable::kHeader, Catalogue::kHeader},
        {EcuVariable::kEngineReferences, Catalogue::kEngineReferences},
        {EcuVariable::kInjectionTimes, Catalogue::kInjectionTimes},
        {EcuVariable::kInjectorType, 79},
    };
    for (const auto& e : elements)
        EXPECT_EQ(e.id, Catalogue::elementId(Catalogue::row(e.row).id)) << e.row;
}

TEST(Catalogue, KeyNames) {
    struct Case {
        int row;
        int element;
        const char* section;
        const char* key;
    };
    const Case cases[] = {
        {1, 1, "Generale", "Flag2"},
        {3, 0, "Temperatura", "TipoSensoreTemperaturaGas"},
        {5, 29, "Temperatura", "EcuTempMotore29"},
        {6, 1, "MappaCoefficientiK", "NumeroColonne"},
        {10, 3 * 12 + 5, "MappaCoefficientiK", "MappaK3_5"},
        {20, 11, "RiferimentiGiri", "RifGiri11"},
        {34, 4, "Diagnosi", "Azione1_1"},
        {47, 0, "Arricchimento", "TempoMaxCorrente"},
        {47, 1, "Arricchimento", "TempoMaxCorrente1"},
        {65, 0, "Iniezione", "KFiltro"},
        {65, 1, "Emulazione", "TempoEmulazioneMagra1"},
        {65, 2, "Iniezione", "KFiltro2"},
        {72, 0, "Emulazione", "TempoEmulazioneMagra0"},
        {74, 5, "TInjDefault", "TInjDefault2_1"},
        {76, 1, "AutoTaratura", "ScartoMinimoTaratura1"},
        {80, 15, "AutoTaratura", "MappaCorrAutotaratura3_3"},
        {2, 0, "", ""},
        {11, 0, "", ""},
        {28, 3, "", ""},
        {43, 0, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        const CatalogueRow& row = Catalogue::row(c.row);
        EXPECT_EQ(Catalogue::key(row, c.element), QString::fromLatin1(c.key));
        if (*c.key) {
            EXPECT_EQ(Catalogue::section(row, c.element), QString::fromLatin1(c.section));
        }
    }
}

TEST(Catalogue, KMapRowsFollowTheTableSize) {
    EXPECT_EQ(Catalogue::idFor(Catalogue::row(7), 10, 8), 10u * 4096 + 0x737);
    EXPECT_EQ(Catalogue::idFor(Catalogue::row(8), 10, 8), 8u * 4096 + 0x73D);
    EXPECT_EQ(Catalogue::idFor(Catalogue::row(9), 10, 8), 8u * 4096 + 0x37F);
    EXPECT_EQ(Catalogue::idFor(Catalogue::row(10), 10, 8), 8u * 4096 + 0x154);
    const auto map = Catalogue::activeElements(Catalogue::row(10), 2, 3);
    EXPECT_EQ(map, (std::vector<int>{0, 1, 2, 12, 13, 14, 24, 25, 26}));
    EXPECT_EQ(Catalogue::activeElements(Catalogue::row(7), 4, 9).size(), 4u);
    EXPECT_EQ(Catalogue::activeElements(Catalogue::row(8), 4, 9).size(), 9u);
}

TEST(Catalogue, ProgressByteCounts) {
    using V = std::vector<int>;
    EXPECT_EQ(Catalogue::progressSteps(Catalogue::row(7), 3, 3, true), V{24});
    EXPECT_EQ(Catalogue::progressSteps(Catalogue::row(8), 3, 3, true), V{24});
    EXPECT_EQ(Catalogue::progressSteps(Catalogue::row(9), 3, 3, true), V{6});
    EXPECT_EQ(Catalogue::progressSteps(Catalogue::row(10), 2, 6, true), (V{6, 6, 6}));
    EXPECT_EQ(Catalogue::progressSteps(Catalogue::row(10), 2, 6, false), (V{12, 12, 12}));
    EXPECT_EQ(Catalogue::progressSteps(Catalogue::row(34), 12, 6, true), (V{3, 3, 3}));
    EXPECT_EQ(Catalogue::progressSteps(Catalogue::row(74), 12, 6, true), (V(8, 4)));
    EXPECT_EQ(Catalogue::progressSteps(Catalogue::row(1), 12, 6, true), V{4});
    EXPECT_EQ(Catalogue::progressSteps(Catalogue::row(36), 12, 6, true), V{30});
    // Summed by hand over the 82 rows for a 12 x 6 map.
    EXPECT_EQ(Catalogue::grandTotal(), 569);
}

TEST(Catalogue, CodesFindTheirRows) {
    EXPECT_EQ(Catalogue::rowOfCode(528)->number, 22);
    EXPECT_EQ(Catalogue::rowOfCode(26)->number, 29);
    EXPECT_EQ(Catalogue::rowOfCode(67)->number, 43);
    EXPECT_EQ(Catalogue::rowOfCode(82176)->number, 11);
    EXPECT_EQ(Catalogue::rowOfCode(999), nullptr);
    EXPECT_EQ(Catalogue::elementId(123189), 53u);
    EXPECT_EQ(Catalogue::elementId(9034), 586u);
    EXPECT_EQ(Catalogue::elementId(8596), 148u);
}

struct DefaultsAt {
    int32_t tick = 2560;
    TemperatureCurve gas = TemperatureCurve::Gas(0);
    TemperatureCurve engine;
    int columns = 6;
    std::vector<int32_t> of(int row) const {
        return DefaultValues::Of(Catalogue::row(row), {tick, gas, engine, columns});
    }
};

TEST(Defaults, ListsAndRules) {
    DefaultsAt d;
    using V = std::vector<int32_t>;
    EXPECT_EQ(d.of(1), (V{1044, 1}));
    EXPECT_EQ(d.of(4), (V{18, 92, 5, -20, 30}));
    EXPECT_EQ(d.of(5).back(), 8);
    EXPECT_EQ(d.of(7)[0], 781);    // 2.0 ms / 2.56 us
    EXPECT_EQ(d.of(7)[11], 7031);  // 18.0 ms
    EXPECT_EQ(d.of(8)[0], 1000);
    EXPECT_EQ(d.of(8)[5], 6000);
    EXPECT_EQ(d.of(9)[3], 11719);  // 30 ms
    EXPECT_EQ(d.of(20)[11], 6000);
    EXPECT_EQ(d.of(21), V{127});  // 25 degrees on the gas curve
    EXPECT_EQ(d.of(31), (V{155, 127, 102, 77}));
    EXPECT_EQ(d.of(32), (V{0, 38, 50, 67, 88, 100, 113, 127, 141, 255}));
    EXPECT_EQ(d.of(52), d.of(32));  // the built-in engine curve is the type 0 curve
    EXPECT_EQ(d.of(47), (V{1172, 0}));
    EXPECT_EQ(d.of(49), (V{247, 2, 247, 2}));  // -40 and 180 degrees
    EXPECT_EQ(d.of(60),
              (V{500, 550, 590, 630, 670, 710, 750, 790, 830, 870, 910, 950, 1000, 1050, 1100}));
    EXPECT_EQ(d.of(61), (V{114, 100, 88, 77, 67, 56, 46, 37, 27, 18, 9, 0, -11, -21, -32}));
    EXPECT_EQ(d.of(65), (V{128, 128, 128}));
    EXPECT_EQ(d.of(73), V{781});
    EXPECT_EQ(d.of(74)[0], 977);    // 2.5 ms
    EXPECT_EQ(d.of(74)[15], 1250);  // 3.2 ms
    EXPECT_EQ(d.of(82), (V{1, 5, 2}));
    const V header = d.of(36);
    EXPECT_EQ(header[0], 128);
    EXPECT_EQ(header[2], 'S');
    EXPECT_EQ(header[9], 'd');
    EXPECT_EQ(header[10], 0);
    EXPECT_EQ(d.of(11)[0], 'S');
    EXPECT_EQ(d.of(11)[19], 'u');
}

TEST(Defaults, FollowTheTickTheCurvesAndTheColumns) {
    DefaultsAt d;
    d.tick = 1000;
    d.columns = 4;
    d.gas = TemperatureCurve::Gas(1);
    d.engine = TemperatureCurve(-20, 5, {231, 224, 216, 206, 195, 183, 170, 156, 142, 128});
    EXPECT_EQ(d.of(7)[0], 2000);
    EXPECT_EQ(d.of(8)[0], 1500);
    EXPECT_EQ(d.of(8)[3], 6000);
    EXPECT_EQ(d.of(21)[0], TemperatureCurve::Gas(1).ToCode(25));
    EXPECT_EQ(d.of(55)[0], d.engine.ToCode(35));
    EXPECT_EQ(d.of(52)[1], d.engine.ToCode(70));
}

TEST(Defaults, KMap) {
    EXPECT_EQ(DefaultValues::KMap(0, 0), 120);
    EXPECT_EQ(DefaultValues::KMap(0, 11), 123);
    EXPECT_EQ(DefaultValues::KMap(2, 3), 139);
    EXPECT_EQ(DefaultValues::KMap(4, 4), 149);
    EXPECT_EQ(DefaultValues::KMap(5, 0), 142);
    EXPECT_EQ(DefaultValues::KMap(8, 11), 125);
    EXPECT_EQ(DefaultValues::KMap(12, 0), 113);
    EXPECT_EQ(DefaultValues::KMap(12, 11), 118);
}
}  // namespace
