#include <gtest/gtest.h>

#include "IniFile.h"

namespace {

const QByteArray kText =
    "DECRYPTED_MLTP_FILE\r\n"
    "Orphan=1\r\n"
    "[Generale]\r\n"
    "  Flag1 =  1044  \r\n"
    "flag1=9\r\n"
    "N cilindri=4\r\n"
    "; a comment=7\r\n"
    "line without equals\r\n"
    "\r\n"
    "[ Lambda ]\r\n"
    "TipoDiLambda=2\r\n"
    "Vuoto=\r\n"
    "\r\n"
    "[generale]\r\n"
    "Euro=Euro 4\r\n";

TEST(IniFileTest, LookupRules) {
    IniFile ini;
    ini.Parse(kText);
    struct Case {
        const char* section;
        const char* key;
        std::optional<QString> expected;
    };
    const Case cases[] = {
        {"Generale", "Flag1", "1044"},    // blanks trimmed, first of two equal keys
        {"GENERALE", "FLAG1", "1044"},    // case ignored
        {"Generale", "N cilindri", "4"},  // a key with a space
        {"generale", "Euro", "Euro 4"},   // a second section of the same name
        {"Lambda", "TipoDiLambda", "2"},  // blanks inside the brackets
        {"Lambda", "Vuoto", ""},          // present but empty
        {"Generale", "; a comment", std::nullopt},
        {"Generale", "line without equals", std::nullopt},
        {"", "Orphan", std::nullopt},  // before any section
        {"Lambda", "Flag1", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.Value(c.section, c.key), c.expected) << c.section << "/" << c.key;
    EXPECT_EQ(ini.EntryCount(), 5);  // the second flag1 is not a key of its own
}

TEST(IniFileTest, RewriteKeepsEveryLineAndOrder) {
    IniFile ini;
    ini.Parse(kText);
    EXPECT_EQ(ini.ToBytes(), kText);
    EXPECT_FALSE(ini.IsModified());

    ini.SetValue("GENERALE", "flag1", "7");     // the first of the two is replaced
    ini.SetValue("Lambda", "RifLambda", "28");  // after the section's last key
    ini.SetValue("Diagnosi", "Stato0", "0");    // a new section at the end
    ini.SetValue("Generale", "DescrizAuto", QString::fromLatin1("due\r\nrighe\0", 12));
    EXPECT_TRUE(ini.IsModified());
    const QByteArray expected =
        "DECRYPTED_MLTP_FILE\r\n"
        "Orphan=1\r\n"
        "[Generale]\r\n"
        "Flag1=7\r\n"
        "flag1=9\r\n"
        "N cilindri=4\r\n"
        "DescrizAuto=due  righe\r\n"  // the trailing NUL became a blank, then was trimmed
        "; a comment=7\r\n"
        "line without equals\r\n"
        "\r\n"
        "[ Lambda ]\r\n"
        "TipoDiLambda=2\r\n"
        "Vuoto=\r\n"
        "RifLambda=28\r\n"
        "\r\n"
        "[generale]\r\n"
        "Euro=Euro 4\r\n"
        "[Diagnosi]\r\n"
        "Stato0=0\r\n";
    EXPECT_EQ(ini.ToBytes(), expected);

    IniFile again;
    again.Parse(ini.ToBytes());
    EXPECT_EQ(again.Value("Generale", "Flag1"), "7");
    EXPECT_EQ(again.Value("Generale", "DescrizAuto"), "due  righe");
    EXPECT_EQ(again.Value("Diagnosi", "Stato0"), "0");
}

TEST(IniFileTest, TextEncodings) {
    IniFile ini;
    ini.Parse("[Generale]\nMotore=Citro\xc3\xabn\nCambio=Citro\xebn \x80\n");
    EXPECT_EQ(ini.Value("Generale", "Motore"), QStringLiteral("Citro\u00ebn"));
    EXPECT_EQ(ini.Value("Generale", "Cambio"), QStringLiteral("Citro\u00ebn \u20ac"));
    // Written back as UTF-8.
    EXPECT_TRUE(ini.ToBytes().contains("Cambio=Citro\xc3\xabn \xe2\x82\xac\r\n"));
    EXPECT_TRUE(ini.EndsWithLineBreak());
    ini.Parse("[S]\nK=1");
    EXPECT_FALSE(ini.EndsWithLineBreak());
    EXPECT_EQ(ini.Value("S", "K"), "1");
    // A CR alone ends a line too: no value holds a line break.
    ini.Parse("[S]\rK=a\rJ=b\tc\r\n");
    EXPECT_EQ(ini.Value("S", "K"), "a");
    EXPECT_EQ(ini.Value("S", "J"), "b\tc");
    ini.SetValue("S", "J", "b\tc");
    EXPECT_TRUE(ini.ToBytes().endsWith("J=b\tc\r\n"));
}

TEST(IniFileTest, WritesIntoEmptyText) {
    IniFile ini;
    ini.SetValue("Generale", "Flag1", "1044");
    ini.SetValue("Lambda", "TipoDiLambda", "2");
    ini.SetValue("Generale", "Flag2", "1");
    EXPECT_EQ(ini.ToBytes(),
              "[Generale]\r\nFlag1=1044\r\nFlag2=1\r\n[Lambda]\r\nTipoDiLambda=2\r\n");
}

}  // namespace
