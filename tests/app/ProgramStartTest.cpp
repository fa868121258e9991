#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "BuildProfile.h"
#include "ConfigBaseLibrary.h"
#include "LanguageLibrary.h"
#include "ProgramStart.h"
#include "ScriptedDialogs.h"

namespace {

TEST(ProgramStart, WithoutTheLanguageLibraryThereIsOneLanguageOfOneString) {
    LanguageLibrary languages;
    ConfigBaseLibrary configBase;
    ProgramStart::LoadLibraries(languages, configBase, "NoSuchLanguages.dll",
                                ConfigBaseLibrary::kDefaultName);
    EXPECT_FALSE(languages.IsLoaded());
    EXPECT_EQ(languages.Languages(), 1);
    EXPECT_EQ(languages.Stride(), 1);
    EXPECT_FALSE(languages.Text(5).has_value());
    EXPECT_TRUE(configBase.IsLoaded());
}

TEST(ProgramStart, AMissingBaseConfigurationLibraryStopsTheStart) {
    ScriptedDialogs dialogs;
    for (const char* name : {"NoSuchConfigBase.dll", "TestConfigBaseWithoutCalibrating.dll"}) {
        LanguageLibrary languages;
        ConfigBaseLibrary configBase;
        try {
            ProgramStart::LoadLibraries(languages, configBase, LanguageLibrary::kDefaultName, name);
            ADD_FAILURE() << name << " was accepted";
        } catch (const ProgramStart::Error& error) {
            EXPECT_EQ(ProgramStart::Report(error), 1);
        }
        EXPECT_FALSE(configBase.IsLoaded()) << name;
        EXPECT_FALSE(languages.IsLoaded()) << name << ": freed again";
    }
    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_EQ(dialogs.last().text,
              "It is not possible to start the program,\n      very important files missing.\n"
              "Reinstall the program and tray again.");
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Error);
    EXPECT_EQ(dialogs.last().title, BuildProfile::ProductTitle());
}

// Two real starts of the program: the second asks the first to come forward and exits
// before it creates anything (no settings are written for it).
TEST(ProgramStart, ASecondStartBringsTheFirstForwardAndExits) {
    QTemporaryDir sockets, firstHome, secondHome;
    ASSERT_TRUE(sockets.isValid() && firstHome.isValid() && secondHome.isValid());
    const QString program = QCoreApplication::applicationDirPath() + "/centralina";
    ASSERT_TRUE(QFileInfo::exists(program));

    auto environment = [&](const QString& home) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("TMPDIR", sockets.path());  // where the instance's local socket lives
        env.insert("XDG_CONFIG_HOME", home);
        env.insert("ECU_PORT", "/dev/null/none");  // no ECU to look for
        return env;
    };

    QProcess first;
    first.setProcessEnvironment(environment(firstHome.path()));
    first.setProcessChannelMode(QProcess::MergedChannels);
    first.start(program, {});
    ASSERT_TRUE(first.waitForStarted(10000));
    // The first start listens once its settings exist (it writes them on its way up only at
    // exit, so wait for its socket instead).
    bool listening = false;
    for (int i = 0; i < 200 && !listening; ++i) {
        first.waitForReadyRead(50);
        listening = !QDir(sockets.path()).entryList({"Centralina*"}, QDir::System).isEmpty();
    }
    ASSERT_TRUE(listening) << first.readAll().toStdString();

    QProcess second;
    second.setProcessEnvironment(environment(secondHome.path()));
    second.start(program, {});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(QDir(secondHome.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot))
        << "the second start created its settings";

    QByteArray output;
    for (int i = 0; i < 100 && !output.contains("brought forward"); ++i) {
        first.waitForReadyRead(50);
        output += first.readAll();
    }
    EXPECT_TRUE(output.contains("brought forward by a second start")) << output.toStdString();
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished(5000);
}

}  // namespace
