#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>
#include <array>
#include <string>

#include "ConfigBaseLibrary.h"
#include "LibraryPath.h"
#include "TQorConnectEcu.h"

namespace {

// The calls the recording link library reports, kept on this side of the library.
class Recording {
  public:
    Recording() {
        log().clear();
        QLibrary library(LibraryPath::resolve("TestLinkRecording.dll"));
        EXPECT_TRUE(library.load()) << library.errorString().toStdString();
        auto setRecorder =
            reinterpret_cast<void (*)(void (*)(const char*))>(library.resolve("_SetRecorder"));
        EXPECT_NE(setRecorder, nullptr);
        if (setRecorder) setRecorder(&Recording::append);
    }
    std::string calls() const { return log(); }

  private:
    static std::string& log() {
        static std::string calls;
        return calls;
    }
    static void append(const char* call) { log() += std::string(call) + ";"; }
};

void expectEmptyLink(IEcuLink& link) {
    int32_t buffer[20] = {};
    uint8_t bytes[34] = {};
    int32_t length = 34;
    int32_t status = 1;
    EXPECT_EQ(link.IsConnected(), 0);
    EXPECT_EQ(link.Connect(), 0);
    EXPECT_EQ(link.OpenLink(), 0);
    EXPECT_EQ(link.ReadVariable(82176, buffer), 0);
    EXPECT_EQ(link.WriteValue(528, 1650), 0);
    EXPECT_EQ(link.ReadBlock(1, bytes, &length), 0);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(link.SendCommand(17, bytes, &status, 5), 0);
    EXPECT_EQ(link.ReadIdentity(bytes), 0);
    EXPECT_NE(link.ProgramFromBuffer(bytes, 2, 0, 1), 0);
    EXPECT_LE(link.QueryElementSize(124, 1), 0);
}

TEST(LinkComponent, LoadsTheLibraryAndMakesTheSetUpCalls) {
    Recording recording;
    {
        TQorConnectEcu component(true, "TestLinkRecording.dll");
        ASSERT_TRUE(component.IsLoaded()) << component.LoadError().toStdString();
        EXPECT_EQ(recording.calls(),
                  "Create;ConfigureLink1(0);ConfigureLink2(5);ConfigureLink3(600);"
                  "ConfigureLink4(30,600);");
        EXPECT_FALSE(component.SetDllName("Other.dll")) << "renamed while loaded";
        EcuLinkVersion version{};
        ASSERT_TRUE(component.GetDllVersion(&version));
        EXPECT_EQ(version.build, 15);
    }
    // Not connected: the port is closed before the link is destroyed.
    EXPECT_EQ(recording.calls().substr(recording.calls().find("ConfigureLink4")),
              "ConfigureLink4(30,600);ClosePort;Destroy;");
}

TEST(LinkComponent, UnloadDisconnectsAConnectedLink) {
    Recording recording;
    TQorConnectEcu component(true, "TestLinkRecording.dll");
    ASSERT_TRUE(component.IsLoaded());
    component.link().Connect();
    component.UnloadDll();
    EXPECT_FALSE(component.IsLoaded());
    const std::string calls = recording.calls();
    EXPECT_EQ(calls.substr(calls.find("Connect;")), "Connect;Disconnect;Destroy;");
    expectEmptyLink(component.link());
    EXPECT_TRUE(component.SetDllName("Other.dll"));
}

TEST(LinkComponent, MissingLibraryOrExportLeavesTheLinkEmpty) {
    const std::array<const char*, 2> names = {"NoSuchLink.dll", "TestLinkWithoutDestroy.dll"};
    for (const char* name : names) {
        TQorConnectEcu component(true, name);
        EXPECT_FALSE(component.IsLoaded()) << name;
        EXPECT_FALSE(component.LoadError().isEmpty()) << name;
        EcuLinkVersion version{};
        EXPECT_FALSE(component.GetDllVersion(&version)) << name;
        expectEmptyLink(component.link());
    }
}

TEST(LinkComponent, WithoutAutoLoadNothingIsLoadedUntilAsked) {
    Recording recording;
    TQorConnectEcu component(false, "TestLinkRecording.dll");
    EXPECT_FALSE(component.IsLoaded());
    EXPECT_EQ(recording.calls(), "");
    EXPECT_TRUE(component.LoadDll());
    EXPECT_TRUE(component.IsLoaded());
}

TEST(ConfigBaseLibrary, RefusesALibraryWithoutBothExports) {
    ConfigBaseLibrary library;
    EXPECT_FALSE(library.Load("NoSuchConfigBase.dll"));
    EXPECT_FALSE(library.Load("TestConfigBaseWithoutCalibrating.dll"));
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_FALSE(library.Resource(1).has_value());
}

TEST(ConfigBaseLibrary, LoadsTheProgramsLibrary) {
    ConfigBaseLibrary library;
    ASSERT_TRUE(library.Load()) << library.LoadError().toStdString();
    EXPECT_TRUE(library.IsLoaded());
    library.Unload();
    EXPECT_FALSE(library.IsLoaded());
}

TEST(LibraryPath, MapsWindowsNamesToTheFolderOfTheProgram) {
#ifndef Q_OS_WIN
    EXPECT_EQ(LibraryPath::platformFileName("SerQorDL.dll"), "libSerQorDL.so");
    EXPECT_EQ(LibraryPath::platformFileName("libX.so"), "libX.so");
    EXPECT_EQ(LibraryPath::resolve("/opt/x/ConfigBase.dll"), "/opt/x/libConfigBase.so");
    EXPECT_TRUE(LibraryPath::resolve("Languages.dll").endsWith("/bin/libLanguages.so"));
#endif
}

// Installed, the program sits in usr/bin and its libraries in its private folder; built, they
// sit beside it.
TEST(LibraryPath, FindsTheLibraryBesideTheProgramOrInItsPrivateFolder) {
#ifndef Q_OS_WIN
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QDir usr(root.filePath("usr"));
    ASSERT_TRUE(usr.mkpath("bin"));
    ASSERT_TRUE(usr.mkpath(QDir::cleanPath("bin/" + LibraryPath::kPrivateFolder)));
    const QString program = usr.filePath("bin");
    const QString beside = usr.filePath("bin/libBoth.so");
    const QString installed =
        QDir::cleanPath(program + "/" + LibraryPath::kPrivateFolder + "/libInstalled.so");
    EXPECT_TRUE(installed.startsWith(usr.path() + "/lib/")) << installed.toStdString();
    for (const QString& file :
         {beside, installed, QString(installed).replace("libInstalled", "libBoth")}) {
        QFile touched(file);
        ASSERT_TRUE(touched.open(QIODevice::WriteOnly)) << file.toStdString();
    }
    EXPECT_EQ(LibraryPath::resolveIn(program, "Both.dll"), beside);
    EXPECT_EQ(LibraryPath::resolveIn(program, "Installed.dll"), installed);
    EXPECT_EQ(LibraryPath::resolveIn(program, "Missing.dll"), usr.filePath("bin/libMissing.so"))
        << "a missing library is reported where a built program keeps it";
#endif
}

}  // namespace
