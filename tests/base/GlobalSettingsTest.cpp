#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <functional>

#include "BuildProfile.h"
#include "ScriptedDialogs.h"
#include "TQorGlobalData.h"
#include "TemporarySettings.h"

namespace {

const QString kKey = QStringLiteral("\\Software\\CentralinaTest");

// Settings of the user scope live in a temporary folder for each test.
class GlobalSettings : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(settings_.isValid()); }

    // Writes the stored values as another program (or a damaged key) would have left them.
    void store(const std::function<void(QSettings&)>& write) {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "CentralinaTest");
        write(settings);
        settings.sync();
    }

    TemporarySettings settings_;
};

TEST_F(GlobalSettings, LoadKeepsWhatWasReadBeforeAnError) {
    struct Case {
        const char* what;
        std::function<void(QSettings&)> stored;
        bool loaded;
        int port;
        QString path;  // empty: the default (the current folder)
        int language;
    };
    const Case cases[] = {
        {"no key at all", [](QSettings&) {}, false, 1, "", 0},
        {"all three",
         [](QSettings& s) {
             s.setValue("ComPort", 3);
             s.setValue("MainPath", "/officina");
             s.setValue("Language", 1);
         },
         true, 3, "/officina", 1},
        {"port of the wrong type",
         [](QSettings& s) {
             s.setValue("ComPort", "COM3");
             s.setValue("MainPath", "/o");
             s.setValue("Language", 1);
         },
         false, 1, "", 0},
        {"path missing after the port",
         [](QSettings& s) {
             s.setValue("ComPort", 4);
             s.setValue("Language", 1);
         },
         false, 4, "", 0},
        {"language missing after port and path",
         [](QSettings& s) {
             s.setValue("ComPort", 5);
             s.setValue("MainPath", "/o");
         },
         false, 5, "/o", 0},
        {"language of the wrong type",
         [](QSettings& s) {
             s.setValue("ComPort", 2);
             s.setValue("MainPath", "/o");
             s.setValue("Language", "en");
         },
         false, 2, "/o", 0},
    };
    for (const Case& c : cases) {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "CentralinaTest").clear();
        store(c.stored);
        TQorGlobalData data;
        data.SetStrKey(kKey);
        EXPECT_EQ(data.LoadStrKey(), c.loaded) << c.what;
        EXPECT_EQ(data.Get(1), c.port) << c.what;
        EXPECT_EQ(data.Get(2), c.language) << c.what;
        QString path;
        EXPECT_EQ(data.Get(0, path), 1);
        EXPECT_EQ(path, c.path.isEmpty() ? QDir::currentPath() : c.path) << c.what;
    }
}

// "Archivio" came later than the other values: a key without it is whole, and the value
// goes back with the others.
TEST_F(GlobalSettings, TheArchiveLocationIsOptionalAndWrittenBack) {
    store([](QSettings& s) {
        s.setValue("ComPort", 2);
        s.setValue("MainPath", "/o");
        s.setValue("Language", 0);
    });
    {
        TQorGlobalData settings;
        settings.SetStrKey(kKey);
        ASSERT_TRUE(settings.LoadStrKey());
        EXPECT_EQ(settings.Archive(), "");
        settings.SetArchive("postgresql://officina@server:5432/archivio");
    }
    EXPECT_EQ(TQorGlobalData::ReadArchive(kKey), "postgresql://officina@server:5432/archivio");
    TQorGlobalData again;
    again.SetStrKey(kKey);
    ASSERT_TRUE(again.LoadStrKey());
    EXPECT_EQ(again.Archive(), "postgresql://officina@server:5432/archivio");
}

TEST_F(GlobalSettings, GetAndSetByIndex) {
    TQorGlobalData data;
    data.SetStrKey(kKey);
    EXPECT_EQ(data.Set(1, 4), 1);
    EXPECT_EQ(data.Set(2, 1), 1);
    EXPECT_EQ(data.Set(3, 9), 0);
    EXPECT_EQ(data.Set(0, 9), 0) << "the main path is a text";
    EXPECT_EQ(data.Get(1), 4);
    EXPECT_EQ(data.Get(2), 1);
    EXPECT_EQ(data.Get(3), 0);
    EXPECT_EQ(data.Get(0), 0);
    QString text = "untouched";
    EXPECT_EQ(data.Get(1, text), 0);
    EXPECT_EQ(text, "untouched");
    EXPECT_EQ(data.Set(1, QStringLiteral("/x")), 0);
    EXPECT_EQ(data.Set(0, QStringLiteral("/x")), 1);
    EXPECT_EQ(data.Get(0, text), 1);
    EXPECT_EQ(text, "/x");
}

TEST_F(GlobalSettings, FirstRunWarnsOnceAndTheWriteBackRepairsTheKey) {
    ScriptedDialogs dialogs;
    {
        TQorGlobalData first;
        first.SetStrKey(kKey);
        EXPECT_FALSE(first.LoadStrKeyOrWarn("Titolo"));
        first.Set(2, 1);
        first.Set(0, QStringLiteral("/officina"));
    }  // written back here
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.last().title, "Titolo");
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Error);
    EXPECT_TRUE(dialogs.last().text.startsWith(
        "Il programma non è in grado di rilevare alcune impostazioni essenziali.\n"));

    TQorGlobalData second;
    second.SetStrKey(kKey);
    EXPECT_TRUE(second.LoadStrKeyOrWarn("Titolo"));
    EXPECT_EQ(dialogs.shown().size(), 1u) << "the second start finds the key";
    EXPECT_EQ(second.Get(1), 1);
    EXPECT_EQ(second.Get(2), 1);
    QString path;
    second.Get(0, path);
    EXPECT_EQ(path, "/officina");
}

// The installation puts the default settings in the system scope, where the user's settings
// fall back to them: a first run says nothing, while a damaged user value still gets the
// repair message, once, and the write-back at exit repairs it.
TEST_F(GlobalSettings, InstalledDefaultsMakeTheFirstRunQuiet) {
    const QString installed = QString::fromUtf8(CENTRALINA_DEFAULT_SETTINGS);
    ASSERT_TRUE(QFile::copy(
        installed, QDir(settings_.systemFolder()).filePath(QFileInfo(installed).fileName())));
    const QString subkey = BuildProfile::RegistrySubkey();
    struct Case {
        const char* what;
        std::function<void(QSettings&)> stored;
        bool quiet;
        int port;
        int language;
        QString path;  // "" for the default: the current folder
    };
    const Case cases[] = {
        {"no user settings", [](QSettings&) {}, true, 1, 0, "."},
        {"user values win",
         [](QSettings& s) {
             s.setValue("ComPort", 3);
             s.setValue("Language", 1);
         },
         true, 3, 1, "."},
        {"user port of the wrong type", [](QSettings& s) { s.setValue("ComPort", "COM3"); }, false,
         1, 0, ""},
        {"user language of the wrong type", [](QSettings& s) { s.setValue("Language", "en"); },
         false, 1, 0, "."},
    };
    for (const Case& c : cases) {
        QSettings user(QSettings::NativeFormat, QSettings::UserScope, subkey);
        user.clear();
        c.stored(user);
        user.sync();
        ScriptedDialogs dialogs;
        {
            TQorGlobalData data;
            data.SetStrKey("\\Software\\" + subkey);
            EXPECT_EQ(data.LoadStrKeyOrWarn("Titolo"), c.quiet) << c.what;
            EXPECT_EQ(data.Get(1), c.port) << c.what;
            EXPECT_EQ(data.Get(2), c.language) << c.what;
            QString path;
            data.Get(0, path);
            EXPECT_EQ(path, c.path.isEmpty() ? QDir::currentPath() : c.path) << c.what;
        }
        if (c.quiet) {
            EXPECT_TRUE(dialogs.shown().empty()) << c.what;
        } else {
            ASSERT_EQ(dialogs.shown().size(), 1u) << c.what;
            EXPECT_EQ(dialogs.last().text, TQorGlobalData::kRepairText);
            EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Error);
        }
        TQorGlobalData next;
        next.SetStrKey("\\Software\\" + subkey);
        EXPECT_TRUE(next.LoadStrKeyOrWarn("Titolo")) << c.what << ": the next start";
        EXPECT_EQ(dialogs.shown().size(), c.quiet ? 0u : 1u) << c.what;
    }
}

}  // namespace
