#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "ConfigFiles.h"

namespace {
constexpr int k34 = 30;
constexpr int k568 = 31;

void touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write("x");
}

QStringList captions(const std::vector<ConfigFiles::Entry>& entries) {
    QStringList out;
    for (const auto& e : entries) out << e.caption;
    return out;
}

TEST(ConfigFilesTest, FolderPerFuelIsCreatedWithItsParentsAndExtensionPerModel) {
    QTemporaryDir base;
    const QString deep = base.filePath(QStringLiteral("officina/2026"));
    struct Case {
        bool cng;
        int model;
        const char* folder;
        const char* extension;
    };
    for (const Case& c :
         {Case{false, k34, "ConfigLPG", "kv4"}, Case{true, k568, "ConfigCNG", "kv8"},
          Case{true, k34, "ConfigCNG", "kv4"}}) {
        const ConfigFiles files(deep, c.cng, c.model);
        EXPECT_EQ(files.Folder(), deep + "/" + c.folder + "/");
        EXPECT_EQ(files.Extension(), QString::fromLatin1(c.extension));
        EXPECT_TRUE(files.MakeFolder());
        EXPECT_TRUE(QDir(files.Folder()).exists());
    }
    // A file where the folder should be: the folder cannot be made, and it says so.
    touch(base.filePath(QStringLiteral("ConfigLPG")));
    EXPECT_FALSE(ConfigFiles(base.path(), false, k34).MakeFolder());
}

TEST(ConfigFilesTest, ProposedNamesLoseTheCharactersAFileNameCannotCarry) {
    EXPECT_EQ(ConfigFiles::CleanName(QStringLiteral("Fiat Punto 1.2")),
              QStringLiteral("Fiat Punto 12"));
    EXPECT_EQ(ConfigFiles::CleanName(QStringLiteral(R"(a/b\c"d,e;f.g h)")),
              QStringLiteral("abcdefg h"));
    EXPECT_EQ(ConfigFiles::WithoutFolder(QStringLiteral(R"(..\x/Golf)")), QStringLiteral("Golf"));
}

TEST(ConfigFilesTest, SavePathAppendsTheModelsExtensionOnlyWhenTheNameLacksIt) {
    QTemporaryDir base;
    const ConfigFiles lpg(base.path(), false, k34);
    const QString folder = lpg.Folder();
    const std::pair<const char*, const char*> cases[] = {
        {"Golf", "Golf.kv4"},       {"Golf.kv4", "Golf.kv4"},
        {"GOLF.KV4", "GOLF.KV4"},   {"Golf.kv8", "Golf.kv8.kv4"},
        {"Golfkv4", "Golfkv4.kv4"}, {"Fiat Punto 12", "Fiat Punto 12.kv4"},
        {"../../Golf", "Golf.kv4"}, {R"(C:\temp\Golf.KV4)", "Golf.KV4"},
    };
    for (const auto& [name, file] : cases)
        EXPECT_EQ(lpg.SavePath(QString::fromUtf8(name)), folder + QString::fromUtf8(file)) << name;
    EXPECT_EQ(lpg.SavePath(QString()), QString());
    EXPECT_EQ(lpg.SavePath(QStringLiteral("sub/")), QString());
    EXPECT_EQ(ConfigFiles(base.path(), false, k568).SavePath(QStringLiteral("Golf")),
              folder + "Golf.kv8");
}

class ConfigFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(lpg.MakeFolder());
        for (const char* name :
             {"Golf.kv4", "punto.kv4", "ALFA.KV4", "Zeta.kv8", "notes.txt", "fookv4", ".kv4"})
            touch(lpg.Folder() + name);
        ASSERT_TRUE(QDir(lpg.Folder()).mkdir(QStringLiteral("dir.kv4")));
    }

    QTemporaryDir base;
    ConfigFiles lpg{base.path(), false, k34};
};

TEST_F(ConfigFolderTest, ListsTheModelsFilesWhateverTheCaseSortedByCaption) {
    const auto entries = lpg.List();
    EXPECT_EQ(captions(entries), (QStringList{"ALFA", "Golf", "punto"}));
    EXPECT_EQ(entries.front().fileName, QStringLiteral("ALFA.KV4"));
    EXPECT_TRUE(lpg.AnyFile());

    ConfigFiles other = lpg;
    other.SetModel(k568);
    EXPECT_EQ(captions(other.List()), QStringList{"Zeta"});
    // A name that ends in the letters without the dot is no configuration file.
    QFile::remove(lpg.Folder() + "Zeta.kv8");
    touch(lpg.Folder() + "Zetakv8");
    EXPECT_FALSE(other.AnyFile());
    EXPECT_FALSE(ConfigFiles(base.path(), true, k34).AnyFile());  // no methane folder at all
}

TEST_F(ConfigFolderTest, AnItemLoadsItsOwnFileATypedNameFollowsTheExtensionRule) {
    const QString folder = lpg.Folder();
    EXPECT_EQ(lpg.LoadPath(QStringLiteral("Golf")), folder + "Golf.kv4");
    EXPECT_EQ(lpg.LoadPath(QStringLiteral("ALFA")), folder + "ALFA.KV4");
    EXPECT_EQ(lpg.LoadPath(QStringLiteral("Nuova")), folder + "Nuova.kv4");
    EXPECT_EQ(lpg.LoadPath(QStringLiteral("Nuova.KV4")), folder + "Nuova.KV4");
    EXPECT_EQ(lpg.LoadPath(QStringLiteral("../Golf")), folder + "Golf.kv4");
}

TEST_F(ConfigFolderTest, TheDateIsTheCreationDayInUniversalTime) {
    const QDate before = QDateTime::currentDateTimeUtc().date();
    touch(lpg.Folder() + "Nuova.kv4");
    const QDate after = QDateTime::currentDateTimeUtc().date();
    for (const auto& entry : lpg.List()) {
        if (entry.caption != QStringLiteral("Nuova")) continue;
        EXPECT_GE(entry.created, before);
        EXPECT_LE(entry.created, after);
        return;
    }
    FAIL() << "Nuova not listed";
}
}  // namespace
