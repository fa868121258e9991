#include <gtest/gtest.h>

#include <array>

#include "BuildProfile.h"
#include "HiddenTables.h"
#include "HiddenText.h"

namespace {

struct MaskCase {
    const char* what;
    int (*query)(int);
    int argument;
    int expected;
};

TEST(BuildProfile, MaskQueries) {
    BuildProfile::SetBuildProfile(1024);
    const MaskCase cases[] = {
        {"mask of a negative code is the build's", BuildProfile::CustomerMaskOf, -1, 1024},
        {"mask of 7", BuildProfile::CustomerMaskOf, 7, 1024},
        {"mask of 18", BuildProfile::CustomerMaskOf, 18, 6},
        {"mask of blank 253", BuildProfile::CustomerMaskOf, 253, 2047},
        {"mask of 255", BuildProfile::CustomerMaskOf, 255, 2047},
        {"mask of an unknown code", BuildProfile::CustomerMaskOf, 8, 0},
        {"mask of 0", BuildProfile::CustomerMaskOf, 0, 0},
        {"code of all", BuildProfile::CustomerCodeOf, 2047, 255},
        {"code above all", BuildProfile::CustomerCodeOf, 4095, 255},
        {"code of 1024", BuildProfile::CustomerCodeOf, 1024, 7},
        {"code of another mask is the build's", BuildProfile::CustomerCodeOf, 6, 7},
        {"index of none", BuildProfile::CustomerIndex, 0, 0},
        {"index of bit 0", BuildProfile::CustomerIndex, 1, 0},
        {"index of 6 is its highest bit", BuildProfile::CustomerIndex, 6, 2},
        {"index of 1024", BuildProfile::CustomerIndex, 1024, 10},
        {"index ignores bits above 10", BuildProfile::CustomerIndex, 2048 | 4, 2},
        {"index of all", BuildProfile::CustomerIndex, 2047, 10},
    };
    for (const MaskCase& c : cases) {
        EXPECT_EQ(c.query(c.argument), c.expected) << c.what;
    }
}

TEST(BuildProfile, ConstantsOfThisBuild) {
    BuildProfile::SetBuildProfile(1024);
    EXPECT_EQ(BuildProfile::CustomerMask(), 1024);
    EXPECT_EQ(BuildProfile::CustomerCode(), 7);
    EXPECT_EQ(BuildProfile::ModelCode(0), 30);
    EXPECT_EQ(BuildProfile::ModelCode(1), 31);
    EXPECT_EQ(BuildProfile::ConfigExtension(30), "kv4");
    EXPECT_EQ(BuildProfile::ConfigExtension(31), "kv8");
    EXPECT_EQ(BuildProfile::ProgramExtension(30), "pk4");
    EXPECT_EQ(BuildProfile::ProgramExtension(12), "pk8");
    EXPECT_EQ(BuildProfile::EditionLetter(), QChar(u'I'));
}

// Each table decodes whole, up to its closing zero, within its limit: the profile's text is
// all of it, never a cut.
TEST(BuildProfile, HiddenTextsDecodeWholeWithinTheirLimits) {
    BuildProfile::SetBuildProfile(1024);
    const struct {
        const char* what;
        std::span<const uint8_t> table;
        QString text;
        int limit;
    } cases[] = {
        {"title", HiddenTables::kProductTitle, BuildProfile::ProductTitle(),
         BuildProfile::kMaxTitleLength},
        {"subkey", HiddenTables::kRegistrySubkey, BuildProfile::RegistrySubkey(),
         BuildProfile::kMaxSubkeyLength},
        {"key", HiddenTables::kScrambleKey, BuildProfile::ScrambleKey(),
         BuildProfile::kMaxKeyLength},
        {"customer", HiddenTables::kCustomerText, BuildProfile::CustomerText(), 255},
    };
    for (const auto& c : cases) {
        const QByteArray whole = HiddenText::decode(c.table);
        EXPECT_EQ(whole.size(), static_cast<qsizetype>(c.table.size()) - 1) << c.what;
        EXPECT_LE(whole.size(), c.limit) << c.what;
        EXPECT_EQ(c.text, QString::fromLatin1(whole)) << c.what;
        for (char ch : whole) EXPECT_TRUE(QChar(ch).isPrint()) << c.what;
    }
    EXPECT_EQ(BuildProfile::ProductTitle(), "Centralina Gas - Configuratore");
    EXPECT_EQ(BuildProfile::RegistrySubkey(), "CentralinaGS");
}

TEST(HiddenText, DecodesDifferencesAndStopsAtZero) {
    // 'A' (65), +1 -> 'B', +255 -> 'A', then -65 -> 0 ends it; the rest is never decoded.
    const std::array<uint8_t, 6> table = {65, 1, 255, 191, 7, 7};
    EXPECT_EQ(HiddenText::decode(table), QByteArray("ABA"));
}

TEST(HiddenText, NeverReadsPastItsTable) {
    // No terminating zero: decoding ends with the table.
    const std::array<uint8_t, 3> table = {'x', 1, 1};
    EXPECT_EQ(HiddenText::decode(std::span(table).first(2)), QByteArray("xy"));
    EXPECT_EQ(HiddenText::decode({}), QByteArray());
}

TEST(HiddenText, EncodeIsTheInverse) {
    const QByteArray text = "Chiave/kv4~2026";
    const QByteArray table = HiddenText::encode(text);
    EXPECT_EQ(table.size(), text.size() + 1);
    EXPECT_EQ(HiddenText::decode({reinterpret_cast<const uint8_t*>(table.constData()),
                                  static_cast<size_t>(table.size())}),
              text);
}

}  // namespace
