#include <gtest/gtest.h>

#include <QFile>
#include <QLibrary>

#include "Language.h"
#include "LanguageLibrary.h"
#include "LibraryPath.h"
#include "StringTable.h"

namespace {
// Leaves the program's language state as it found it: own table, language 0.
class LanguageTest : public ::testing::Test {
  protected:
    void TearDown() override { Language::current().Attach(nullptr); }
    Language& language = Language::current();
};

TEST(StringTableTest, ParsesTheFormatAndReportsBadLines) {
    QStringList problems;
    const StringTable table = StringTable::Parse(
        "# comment\r\n5\tuno\\ndue\r\n6\ta\\tb\\\\c\n7 no tab\n1000\tout of range\n"
        "5\trepeated\nx\tnot a number\n\n8\t\n",
        &problems);
    EXPECT_EQ(table.Text(5), QStringLiteral("uno\ndue"));
    EXPECT_EQ(table.Text(6), QStringLiteral("a\tb\\c"));
    EXPECT_EQ(table.Text(8), QString());
    EXPECT_FALSE(table.Text(7).has_value());
    EXPECT_EQ(table.Numbers(), (QList<int>{5, 6, 8}));
    EXPECT_EQ(problems.size(), 4) << problems.join(u'\n').toStdString();
}

TEST(StringTableTest, BuiltinTableIsCleanAndHoldsTheLanguageHeader) {
    QFile file(QStringLiteral(":/strings/it.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList problems;
    StringTable::Parse(file.readAll(), &problems);
    EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();

    const StringTable& table = StringTable::Builtin();
    EXPECT_EQ(table.Text(0), QStringLiteral("&Italiano"));
    EXPECT_EQ(table.Text(1), QStringLiteral("0"));
    EXPECT_EQ(table.Text(2), QStringLiteral("1252"));
    EXPECT_EQ(table.Text(3), QStringLiteral("&Lingua"));
    EXPECT_EQ(table.Text(41), QStringLiteral("ATTENZIONE: non è stata rilevata la connessione con "
                                             "la centralina"));
    EXPECT_EQ(table.Text(44), QStringLiteral("La centralina è disconnessa poichè non risponde "
                                             "correttamente. \nImpossibile connettersi."));
}

TEST_F(LanguageTest, WithoutLibraryTheOwnTableIsTheOnlyLanguage) {
    LanguageLibrary missing;
    EXPECT_FALSE(missing.Load(QStringLiteral("NoSuchLanguages.dll")));
    language.Attach(&missing);
    EXPECT_EQ(language.Count(), 1);
    EXPECT_EQ(language.Stride(), 1);
    EXPECT_EQ(language.ResourceId(37), 37);
    EXPECT_EQ(language.Name(0), QStringLiteral("&Italiano"));
    EXPECT_FALSE(language.Name(1).has_value());
    EXPECT_EQ(LoadText(37), QStringLiteral("Centralina non connessa"));
    EXPECT_EQ(language.CodePage(), 1252);
    EXPECT_EQ(language.CharSet(), 0);
}

TEST_F(LanguageTest, TextIsCutToTheMaximumAndAMissingTextIsNothing) {
    EXPECT_EQ(LoadText(6, 9), QStringLiteral("CONFIGURA"));
    EXPECT_EQ(LoadText(6, 30), QStringLiteral("CONFIGURA VETTURA"));
    EXPECT_FALSE(LoadText(4).has_value());
    EXPECT_FALSE(LoadText(-1).has_value());
    EXPECT_EQ(LoadTextOr(4, QStringLiteral("design")), QStringLiteral("design"));
}

TEST_F(LanguageTest, StrideOf500PutsText37OfLanguage2AtId1037) {
    LanguageLibrary library;
    ASSERT_TRUE(library.Load(QStringLiteral("Stride500Languages.dll")));
    language.Attach(&library);
    ASSERT_EQ(language.Count(), 3);
    ASSERT_EQ(language.Stride(), 500);

    language.SetIndex(2);
    EXPECT_EQ(language.ResourceId(37), 1037);
    EXPECT_EQ(LoadText(37), QStringLiteral("id 1037"));
    EXPECT_EQ(language.CharSet(), 163);
    EXPECT_EQ(language.CodePage(), 1252);
    // A text the block lacks comes from the program's own table.
    EXPECT_EQ(LoadText(36), QStringLiteral("Centralina connessa"));
    EXPECT_EQ(language.Name(1), QStringLiteral("Lingua 1"));

    language.SetIndex(5);
    EXPECT_EQ(language.Index(), 0);
    EXPECT_EQ(LoadText(37), QStringLiteral("id 37"));
    language.SetIndex(-1);
    EXPECT_EQ(language.Index(), 0);
}

TEST_F(LanguageTest, TheLanguageLibraryHasItalianAndACompleteEnglishBlock) {
    LanguageLibrary library;
    ASSERT_TRUE(library.Load());
    language.Attach(&library);
    ASSERT_EQ(language.Count(), 2);
    const int32_t stride = language.Stride();
    ASSERT_GT(stride, 498);

    EXPECT_EQ(language.Name(0), QStringLiteral("&Italiano"));
    EXPECT_EQ(language.Name(1), QStringLiteral("&English"));
    for (int number : StringTable::Builtin().Numbers()) {
        EXPECT_EQ(library.Text(number), StringTable::Builtin().Text(number)) << number;
        const auto english = library.Text(stride + number);
        ASSERT_TRUE(english.has_value()) << "no English text " << number;
        EXPECT_EQ(english->count(u'\n'), StringTable::Builtin().Text(number)->count(u'\n'))
            << number;
    }
    language.SetIndex(1);
    EXPECT_EQ(LoadText(37), QStringLiteral("ECU not connected"));
    EXPECT_EQ(language.CodePage(), 1252);
}

TEST(LanguageLibraryExportTest, CutsTextsWithoutSplittingCharacters) {
    QLibrary library(LibraryPath::resolve(QStringLiteral("Languages.dll")));
    auto getString = reinterpret_cast<LanguageLibrary::GetStringFn>(library.resolve("_GetString"));
    ASSERT_NE(getString, nullptr);
    char buffer[8];
    EXPECT_EQ(getString(123, buffer, 3), 2);  // "°C": the degree sign is two bytes
    EXPECT_STREQ(buffer, "\xC2\xB0");
    EXPECT_EQ(getString(123, buffer, 2), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(getString(4, buffer, sizeof buffer), 0);
    EXPECT_EQ(getString(-5, buffer, sizeof buffer), 0);
    EXPECT_EQ(getString(99999, buffer, sizeof buffer), 0);
}
}  // namespace
