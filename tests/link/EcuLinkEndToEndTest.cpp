#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLibrary>
#include <QTemporaryDir>
#include <array>

#include "EcusimProcess.h"
#include "IEcuLink.h"
#include "TQorConnectEcu.h"

namespace {
// ecusim on a pseudo-terminal, and libSerQorDL loaded as the program loads it.
class EndToEnd : public ::testing::Test {
  protected:
    void TearDown() override {
        if (link) destroy(link);
        library.unload();
    }

    void startSim(QStringList arguments) {
        arguments << "--trace" << dir.filePath("trace.txt");
        QString error;
        ASSERT_TRUE(sim.start(arguments, &error)) << error.toStdString();
    }

    void start(const QStringList& arguments) {
        ASSERT_NO_FATAL_FAILURE(startSim(arguments));
        const QString bin = QCoreApplication::applicationDirPath();
        library.setFileName(bin + "/libSerQorDL.so");
        ASSERT_TRUE(library.load()) << library.errorString().toStdString();
        auto create =
            reinterpret_cast<CreateClassInstanceFn>(library.resolve("_CreateClassInstance"));
        destroy =
            reinterpret_cast<DestroyClassInstanceFn>(library.resolve("_DestroyClassInstance"));
        version = reinterpret_cast<GetDllVersionFn>(library.resolve("_GetDLLVersion"));
        ASSERT_TRUE(create && destroy && version);
        lastError = reinterpret_cast<LastErrorFn>(library.resolve("_GetLastLinkError"));
        link = create();
        ASSERT_NE(link, nullptr);
        // The component's set-up, with time-outs stretched for a loaded machine.
        link->ConfigureLink1(0);
        link->ConfigureLink2(5);
        link->ConfigureLink3(4000);
        link->ConfigureLink4(400, 2000);
    }

    QStringList traceLines() {
        QFile file(dir.filePath("trace.txt"));
        if (!file.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir dir;
    EcusimProcess sim;
    QLibrary library;
    IEcuLink* link = nullptr;
    DestroyClassInstanceFn destroy = nullptr;
    GetDllVersionFn version = nullptr;
    using LastErrorFn = int32_t (*)(IEcuLink*, char*, int32_t);
    LastErrorFn lastError = nullptr;

    std::string whyNot() {
        char text[512] = {};
        if (lastError) lastError(link, text, sizeof text);
        return text;
    }
};
}  // namespace

TEST_F(EndToEnd, TheLibraryTalksToEcusimOverAPseudoTerminal) {
    ASSERT_NO_FATAL_FAILURE(start({"--line-speed"}));
    EcuLinkVersion v{};
    version(&v);
    EXPECT_EQ(v.major, 1);

    ASSERT_EQ(link->OpenLink(), 1) << whyNot();
    EXPECT_EQ(link->IsConnected(), 1);
    std::array<uint8_t, 4> identity{};
    ASSERT_EQ(link->ReadIdentity(identity.data()), 1);
    EXPECT_EQ(identity, (std::array<uint8_t, 4>{7, 30, 7, 4}));

    std::array<int32_t, 2> flags{};
    ASSERT_EQ(link->ReadVariable(8963, flags.data()), 1);
    EXPECT_EQ(flags, (std::array<int32_t, 2>{1044, 1}));
    ASSERT_EQ(link->WriteValue(528, 1651), 1);
    int32_t threshold = 0;
    ASSERT_EQ(link->ReadVariable(528, &threshold), 1);
    EXPECT_EQ(threshold, 1651);

    std::array<int32_t, 6> row{};
    ASSERT_EQ(link->ReadRow(6 * 4096 + 0x154, row.data(), 0), 1);
    EXPECT_EQ(row[0], 120);
    std::array<uint8_t, 34> block{};
    int32_t length = 34;
    ASSERT_EQ(link->ReadBlock(1, block.data(), &length), 1);
    EXPECT_EQ(length, 34);
    uint8_t size[2] = {84, 0};
    int32_t status = 0;
    ASSERT_EQ(link->SendCommand(4, size, &status, 2), 1);
    EXPECT_EQ(size[1], 13);

    link->Disconnect();
    EXPECT_EQ(link->IsConnected(), 0);
    EXPECT_EQ(link->ReadVariable(528, &threshold), 0);
    ASSERT_EQ(link->Connect(), 1);
    EXPECT_EQ(link->ReadVariable(528, &threshold), 1);

    const QStringList trace = traceLines();
    EXPECT_TRUE(trace.contains("ReadVariable 8963"));
    EXPECT_TRUE(trace.contains("WriteValue 528 1651"));
    EXPECT_TRUE(trace.contains("ReadRow 24916 0"));
    EXPECT_EQ(trace.count("Connect"), 2);
}

TEST_F(EndToEnd, TheSerialNumberComesFromTheCommandLine) {
    ASSERT_NO_FATAL_FAILURE(start({"--serial", "WS-31-0042"}));
    ASSERT_EQ(link->OpenLink(), 1) << whyNot();
    std::array<int32_t, 20> serial{};
    ASSERT_EQ(link->ReadVariable(82176, serial.data()), 1);  // 20 elements of variable 0
    std::string text;
    for (int32_t c : serial)
        if (c != 0) text += static_cast<char>(c);
    EXPECT_EQ(text, "WS-31-0042");
    EXPECT_EQ(serial[10], 0);

    // What 20 one-byte elements cannot hold is refused, not cut.
    for (const char* bad : {"ABCDEFGHIJKLMNOPQRSTU", "", "caf\u00e9"}) {
        EcusimProcess other;
        QString error;
        EXPECT_FALSE(other.start({"--serial", QString::fromUtf8(bad)}, &error)) << bad;
    }
}

TEST_F(EndToEnd, APulledCableIsALostConnectionAndTheLinkComesBack) {
    ASSERT_NO_FATAL_FAILURE(start({"--pull-after", "4", "--drop", "0.01", "--seed", "3"}));
    // Opened with the stretched time-outs, so that a loaded machine does not fail the opening;
    // then the program's own values: a lost ECU is noticed quickly.
    ASSERT_EQ(link->OpenLink(), 1) << whyNot();
    link->ConfigureLink3(600);
    link->ConfigureLink4(30, 600);
    // One request without a reply fails alone; a run of them lasting 1.5 s is a lost ECU. The
    // limit only ends a broken run.
    int32_t value = 0;
    int failures = 0;
    QElapsedTimer timer;
    timer.start();
    while (link->IsConnected() != 0 && timer.elapsed() < 60000)
        failures += link->ReadVariable(1, &value) == 0;
    EXPECT_GE(failures, 3);
    EXPECT_EQ(link->IsConnected(), 0);
    EXPECT_EQ(link->Connect(), 0);
}

TEST_F(EndToEnd, ProgrammingThroughTheLibrary) {
    ASSERT_NO_FATAL_FAILURE(
        start({"--program-result", "1", "--program-failures", "1", "--restart-ms", "200"}));
    std::vector<uint8_t> img{0, 2, 0, 0};  // 512 bytes of firmware
    img.resize(4 + 512, 0x33);
    link->BeginProgramming();
    EXPECT_EQ(link->ProgramFromBuffer(img.data(), 2, 0, 1), 1);
    // Give the ECU its restart time; a read of the boot customer waits for the answer.
    uint8_t boot[4] = {};
    for (int i = 0; i < 20 && link->ReadBootCustomer(boot) == 0; ++i) {
    }
    EXPECT_EQ(boot[0], 7);
    EXPECT_EQ(link->ProgramFromBuffer(img.data(), 2, 0, 1), 0);
    link->EndProgramming();
    for (int i = 0; i < 20 && link->Connect() == 0; ++i) {
    }
    ASSERT_EQ(link->IsConnected(), 1);
    int32_t status = 0;
    ASSERT_EQ(link->ReadVariable(1, &status), 1);
    EXPECT_EQ(status & 1, 1);
}

// The program's own component loads the library beside the executable and sets it up.
TEST_F(EndToEnd, TheProgramsLinkComponentLoadsTheLibrary) {
    ASSERT_NO_FATAL_FAILURE(startSim({"--line-speed"}));
    qputenv("ECU_LINK_TIMEOUT_SCALE", "5");  // the component's time-outs, on a loaded machine
    {
        TQorConnectEcu component;
        qunsetenv("ECU_LINK_TIMEOUT_SCALE");
        ASSERT_TRUE(component.IsLoaded()) << component.LoadError().toStdString();
        EcuLinkVersion v{};
        EXPECT_TRUE(component.GetDllVersion(&v));
        IEcuLink& ecu = component.link();
        ASSERT_EQ(ecu.OpenLink(), 1);
        std::array<uint8_t, 4> identity{};
        ASSERT_EQ(ecu.ReadIdentity(identity.data()), 1);
        EXPECT_EQ(identity[1], 30);
        component.UnloadDll();  // connected: ends with Disconnect
        EXPECT_FALSE(component.IsLoaded());
    }
    const QStringList trace = traceLines();
    ASSERT_FALSE(trace.isEmpty());
    EXPECT_EQ(trace.last(), "Disconnect");
}
