#include <gtest/gtest.h>

#include <QDir>
#include <QLibrary>

#include "BuildProfile.h"
#include "ConfigBaseLibrary.h"
#include "ConfigSource.h"
#include "IniFile.h"
#include "LibraryPath.h"
#include "Scrambler.h"
#include "TransferError.h"

namespace {

using NumberAtFn = int32_t (*)(int32_t);

class BaseConfigurationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(library_.Load()) << library_.LoadError().toStdString();
        saved_ = ConfigBaseLibrary::Current();
        ConfigBaseLibrary::SetCurrent(&library_);
        raw_.setFileName(LibraryPath::resolve(ConfigBaseLibrary::kDefaultName));
        numberAt_ = reinterpret_cast<NumberAtFn>(raw_.resolve("_GetResourceNumber"));
        ASSERT_NE(numberAt_, nullptr);
    }
    void TearDown() override { ConfigBaseLibrary::SetCurrent(saved_); }

    QList<int32_t> Numbers() const {
        QList<int32_t> numbers;
        for (int32_t i = 0; numberAt_(i) != 0; ++i) numbers.append(numberAt_(i));
        return numbers;
    }
    // The plain INI source of resource number, from the library's source folder.
    static QByteArray SourceBytes(int32_t number) {
        const QDir dir(QStringLiteral(CONFIG_BASE_SOURCE_DIR));
        const QStringList names =
            dir.entryList({QStringLiteral("%1-*.ini").arg(number, 3, 10, QLatin1Char('0'))});
        EXPECT_EQ(names.size(), 1) << number;
        if (names.isEmpty()) return {};
        return Scrambler::ReadWholeFile(dir.filePath(names.first())).value_or(QByteArray());
    }
    static IniFile Source(int32_t number) {
        IniFile ini;
        ini.Parse(SourceBytes(number));
        return ini;
    }
    static int32_t Int(const IniFile& ini, const char* section, const QString& key) {
        return ConfigSource::ParseInt(ini.Value(section, key).value_or("x")).value_or(-99999);
    }

    ConfigBaseLibrary library_;
    ConfigBaseLibrary* saved_ = nullptr;
    QLibrary raw_;
    NumberAtFn numberAt_ = nullptr;
};

TEST_F(BaseConfigurationTest, ChoiceByFuelAndInjectorType) {
    struct Case {
        int32_t fuel, injectorType, customer, expected;
    };
    const Case cases[] = {
        {0, 0, 7, 10}, {0, 1, 7, 11}, {1, 0, 7, 20},  {1, 1, 7, 21},
        {2, 0, 7, 1},  {0, 5, 7, 1},  {-1, -1, 7, 1}, {1, 1, 18, 21},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(library_.GetResourceId(c.fuel, 0, c.injectorType, c.customer), c.expected)
            << c.fuel << " " << c.injectorType;
        EXPECT_EQ(library_.GetCalibratingId(c.fuel, 0, c.injectorType, c.customer), c.expected);
    }
    EXPECT_EQ(Numbers(), QList<int32_t>({1, 10, 11, 20, 21}));
}

// Every resource holds exactly its plain source, scrambled with the build's key, opens as a
// configuration source, and what it says about fuel and injector type leads the library's
// choice back to it.
TEST_F(BaseConfigurationTest, ResourcesHoldTheirSourcesAndMatchTheChoice) {
    for (int32_t number : Numbers()) {
        const auto scrambled = library_.Resource(number);
        ASSERT_TRUE(scrambled) << number;
        EXPECT_TRUE(scrambled->startsWith(Scrambler::kEncryptedHeader));
        EXPECT_EQ(Scrambler::UnscrambleResourceBytes(*scrambled, true, BuildProfile::ScrambleKey()),
                  SourceBytes(number))
            << number;

        ConfigSource config;
        config.OpenResource(number, BuildProfile::ScrambleKey());
        ASSERT_TRUE(config.IsResource()) << number;
        int32_t flag1 = -1, injector = -1;
        config.ReadInt(flag1, "Flag1", "Generale");
        config.ReadInt(injector, "TipoIniettoreSoftware", "Iniezione");
        EXPECT_TRUE(config.MissedKeys().isEmpty()) << number;
        if (number != 1) {
            EXPECT_EQ(library_.GetResourceId((flag1 & 0x0002) ? 1 : 0, 0, injector, 7), number);
        }
        config.CloseResource();
    }
}

// Carburation follows the fuel: CNG needs longer gas injections than LPG in every cell of
// the K map, and works at a higher pressure difference.
TEST_F(BaseConfigurationTest, CarburationDiffersBetweenFuels) {
    for (int injector : {0, 1}) {
        const IniFile lpg = Source(10 + injector), cng = Source(20 + injector);
        for (int row = 0; row <= 12; ++row)
            for (int column = 0; column < 6; ++column) {
                const QString key = QStringLiteral("MappaK%1_%2").arg(row).arg(column);
                EXPECT_GT(Int(cng, "MappaCoefficientiK", key), Int(lpg, "MappaCoefficientiK", key))
                    << key.toStdString();
            }
        EXPECT_GT(Int(cng, "PressioneDifferenziale", "RifPressDiff0"),
                  Int(lpg, "PressioneDifferenziale", "RifPressDiff14"));
    }
}

TEST_F(BaseConfigurationTest, WrongKeyIsRefused) {
    ConfigSource config;
    try {
        config.OpenResource(10, QStringLiteral("not the build key"));
        FAIL() << "opened with a wrong key";
    } catch (const TransferError& error) {
        EXPECT_EQ(error.text(), ConfigSource::kResourceFailed);
    }
    EXPECT_FALSE(config.IsOpen());
}

}  // namespace
