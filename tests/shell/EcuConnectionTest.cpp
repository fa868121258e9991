#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

#include "BuildProfile.h"
#include "EcuConnection.h"
#include "LoopbackEcu.h"
#include "Scrambler.h"
#include "ShellFixture.h"
#include "TFormAttesa.h"
#include "TFormMain.h"

namespace {
// The program's data module talking through the real link code to a virtual ECU.
class EcuBench {
  public:
    explicit EcuBench(sim::VirtualEcuOptions options = {}) : ecu(shell.clock, options) {
        data.QorConnectEcu().UseLink(&ecu.link(), [](IEcuLink*) {});
        connection.SetWaitFactory([this]() -> std::unique_ptr<WaitView> {
            auto wait = std::make_unique<TFormAttesa>();
            QObject::connect(&data, &TStreamDati::progress, wait.get(), &TFormAttesa::OnProgress);
            QObject::connect(&data, &TStreamDati::progress, [this](int value, bool increment) {
                lastProgress = increment ? lastProgress + value : value;
            });
            return wait;
        });
        shell.dialogs.clear();  // the settings' first-run notice
        ecu.clearTrace();
    }

    int count(const std::string& operation) const {
        return static_cast<int>(ecu.traced(operation).size());
    }
    int writes() const {
        return count("WriteVariable") + count("WriteValue") + count("WriteElement") +
               count("WriteRow");
    }

    ShellFixture shell;
    LoopbackEcu ecu;
    TStreamDati data{TStreamDati::Options{.loadLinkLibrary = false}};
    EcuConnection connection{data};
    int lastProgress = -1;
};

TEST(EcuConnectionTest, NormalConnectReadsTheWholeConfiguration) {
    EcuBench bench;
    ASSERT_TRUE(bench.ecu.pokeValue(15, 77));     // TemperaturaCambio
    ASSERT_TRUE(bench.ecu.pokeValue(121, 2000));  // BaseTempi
    EXPECT_EQ(bench.connection.Connect(), EcuConnection::Result::Loaded);
    EXPECT_TRUE(bench.shell.dialogs.shown().empty())
        << bench.shell.dialogs.texts().join("|").toStdString();
    EXPECT_NE(bench.data.link().IsConnected(), 0);
    EXPECT_EQ(bench.count("ReadIdentity"), 1);
    EXPECT_GE(bench.count("ReadVariable") + bench.count("ReadRow"), 60);
    EXPECT_EQ(bench.writes(), 0);
    EXPECT_EQ(bench.data.BaseTempi(), 2000);
    EXPECT_EQ(bench.data.Identity(1), 30);
    EXPECT_EQ(bench.data.Identity(3), 4);
    EXPECT_EQ(bench.lastProgress, 100);
}

TEST(EcuConnectionTest, ABlankEcuOfAnAcceptedModelIsGivenTheBuildsCustomer) {
    EcuBench bench({.model = 31, .customer = BuildProfile::kBlankCustomerCode});
    EXPECT_EQ(bench.connection.Connect(), EcuConnection::Result::Loaded);
    EXPECT_EQ(bench.data.Identity(0), 7);
    EXPECT_EQ(bench.ecu.ecu().identity().at(0), 7);
    EXPECT_TRUE(bench.shell.dialogs.shown().empty());
}

TEST(EcuConnectionTest, AnEcuAskingForInitialisationGetsTheBaseConfiguration) {
    for (int model : {30, 31}) {
        EcuBench bench({.model = model, .initRequest = true});
        EXPECT_EQ(bench.connection.Connect(), EcuConnection::Result::Initialised) << model;
        EXPECT_TRUE(bench.shell.dialogs.shown().empty());
        EXPECT_EQ(bench.ecu.peekValue(1) & EcuVariable::kInitialiseBit, 0);
        // TipoIniezione: cylinders - 1 of 6 for the 5-6-8 cylinder ECU, of 4 otherwise.
        EXPECT_EQ(bench.ecu.peekValue(52), model == 31 ? 5 : 3) << model;
        EXPECT_EQ(bench.data.GetSerialNumber(), QStringLiteral("VE-0030-2401-000123"));
        EXPECT_GE(bench.writes(), 50);
        EXPECT_EQ(bench.count("ReadRow"), 0);
    }
}

TEST(EcuConnectionTest, FailuresCarryTheirCodeAndChangeNothing) {
    {
        EcuBench bench({.model = 29});
        EXPECT_EQ(bench.connection.Connect(), EcuConnection::Result::Incompatible);
        EXPECT_EQ(bench.shell.dialogs.last().text, EcuConnection::IncompatibleText());
        EXPECT_TRUE(bench.shell.dialogs.last().text.endsWith("(ERR.CODE: C03)"));
        EXPECT_EQ(bench.writes(), 0);
        EXPECT_EQ(bench.data.link().IsConnected(), 0);
        EXPECT_EQ(bench.data.Identity(1), 30);  // identity defaults again
    }
    {
        EcuBench bench({.customer = 18});
        EXPECT_EQ(bench.connection.Connect(), EcuConnection::Result::Incompatible);
        EXPECT_EQ(bench.writes(), 0);
    }
    {
        EcuBench bench;
        bench.ecu.pullCableAfter(2);  // the handshakes of OpenLink and Connect go through
        EXPECT_EQ(bench.connection.Connect(), EcuConnection::Result::NotIdentified);
        EXPECT_EQ(bench.shell.dialogs.last().text,
                  QStringLiteral("Errore nell'identificazione della centralina connessa.\n"
                                 "(ERR.CODE: C02)"));
        EXPECT_EQ(bench.shell.dialogs.last().icon, Dialogs::Icon::Error);
    }
    {
        // The line goes dead while the configuration is read: not a configuration to work on.
        EcuBench bench;
        bench.ecu.pullCableAfter(40);
        EXPECT_EQ(bench.connection.Connect(), EcuConnection::Result::ReadFailed);
        EXPECT_EQ(bench.shell.dialogs.last().text, EcuConnection::LinkFailureText());
        EXPECT_GT(bench.count("ReadVariable"), 5);
    }
    {
        ShellFixture shell;
        auto data = shell.makeOfflineData();
        shell.dialogs.clear();
        EcuConnection connection(*data);
        connection.SetTitle([] { return QStringLiteral("Principale"); });
        EXPECT_EQ(connection.Connect(), EcuConnection::Result::NoLink);
        EXPECT_EQ(shell.dialogs.last().text,
                  QStringLiteral("Impossibile connettersi.\nControllare il collegamento.\n"
                                 "(ERR.CODE: C01)"));
        EXPECT_EQ(shell.dialogs.last().title, QStringLiteral("Principale"));
    }
}

// The error box of a connection that fails while the wait dialog is up comes after the dialog
// has gone: it never sits on a wait that is over.
TEST(EcuConnectionTest, TheWaitDialogClosesBeforeTheErrorOfAFailedTransfer) {
    const auto visibleWaits = [] {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += qobject_cast<TFormAttesa*>(w) != nullptr && w->isVisible();
        return n;
    };
    struct Case {
        bool initRequest;
        EcuConnection::Result expected;
    };
    for (const Case c : {Case{false, EcuConnection::Result::ReadFailed},
                         Case{true, EcuConnection::Result::WriteFailed}}) {
        EcuBench bench({.initRequest = c.initRequest});
        bench.ecu.pullCableAfter(40);
        int waitsDuringTransfer = 0;
        QObject::connect(&bench.data, &TStreamDati::progress, [&] {
            waitsDuringTransfer = std::max(waitsDuringTransfer, visibleWaits());
        });
        int waitsUnderError = -1;
        bench.shell.dialogs.whileOpen([&] { waitsUnderError = visibleWaits(); });
        EXPECT_EQ(bench.connection.Connect(), c.expected);
        EXPECT_EQ(bench.shell.dialogs.last().text, EcuConnection::LinkFailureText());
        EXPECT_EQ(waitsDuringTransfer, 1) << c.initRequest;
        EXPECT_EQ(waitsUnderError, 0) << c.initRequest;
    }
}

TEST(EcuConnectionTest, CancellingTheSaveQuestionLeavesTheConnectionAsItWas) {
    EcuBench bench;
    ASSERT_EQ(bench.connection.Connect(), EcuConnection::Result::Loaded);
    bench.data.SetModified(true);
    bench.ecu.clearTrace();
    bool saved = false;
    bench.connection.SetSaveCommand([&] { saved = true; });
    bench.shell.dialogs.answer(Dialogs::Answer::Cancel);
    EXPECT_EQ(bench.connection.Connect(), EcuConnection::Result::Cancelled);
    EXPECT_EQ(bench.shell.dialogs.last().text,
              QStringLiteral("Salvare i dati in memoria in un file?"));
    EXPECT_EQ(bench.shell.dialogs.last().buttons, Dialogs::Buttons::YesNoCancel);
    EXPECT_EQ(bench.shell.dialogs.last().icon, Dialogs::Icon::Warning);
    EXPECT_FALSE(saved);
    EXPECT_TRUE(bench.ecu.trace().empty());
    EXPECT_NE(bench.data.link().IsConnected(), 0);
    EXPECT_TRUE(bench.data.IsModified());

    // Yes runs the save; a store still modified afterwards was not saved, and the connect
    // stops as on cancel. A save that clears the flag lets it go on.
    bench.shell.dialogs.answer(Dialogs::Answer::Yes);
    EXPECT_EQ(bench.connection.Connect(), EcuConnection::Result::Cancelled);
    EXPECT_TRUE(saved);
    EXPECT_TRUE(bench.ecu.trace().empty());
    EXPECT_TRUE(bench.data.IsModified());
    bench.connection.SetSaveCommand([&] { bench.data.SetModified(false); });
    bench.shell.dialogs.answer(Dialogs::Answer::Yes);
    EXPECT_EQ(bench.connection.Connect(), EcuConnection::Result::Loaded);

    // The close query refuses only on cancel.
    bench.data.SetModified(true);
    bench.shell.dialogs.answer(Dialogs::Answer::Cancel);
    EXPECT_FALSE(bench.connection.CanClose());
    bench.shell.dialogs.answer(Dialogs::Answer::No);
    EXPECT_TRUE(bench.connection.CanClose());
}

class MainCommandsTest : public ::testing::Test {
  protected:
    EcuBench bench;
    TFormMain form{bench.data, QRect(0, 0, 800, 600)};
};

TEST_F(MainCommandsTest, ConnectFillsTheStatusBarAndDisconnectEmptiesIt) {
    form.ActionConnetti->trigger();
    EXPECT_EQ(form.Status().Panel(0), QStringLiteral("Centralina connessa"));
    EXPECT_EQ(form.Status().Panel(2), QStringLiteral("Versione firmware: 4.7"));
    EXPECT_EQ(form.Status().Panel(3), QStringLiteral("GPL"));
    EXPECT_FALSE(form.ActionConnetti->isEnabled());
    form.ActionDisconnetti->trigger();
    EXPECT_EQ(form.Status().Panel(0), QStringLiteral("Centralina non connessa"));
    EXPECT_EQ(form.Status().Panel(2), QString());
    EXPECT_EQ(bench.data.link().IsConnected(), 0);
}

TEST_F(MainCommandsTest, AFailedSaveIsReportedAndTheDialogOffersTheModelsFiles) {
    form.ActionConnettiExecute();
    bench.shell.dialogs.clear();
    const QString path = QStringLiteral("/no/such/folder/Golf.kv4");
    bench.shell.dialogs.chooseFile(path);
    form.ActionSalvaExecute();
    ASSERT_EQ(bench.shell.dialogs.fileDialogs().size(), 1u);
    const Dialogs::FileRequest& request = bench.shell.dialogs.fileDialogs()[0].request;
    EXPECT_EQ(request.title, QStringLiteral("Salva file di configurazione"));
    EXPECT_EQ(request.filter, QStringLiteral("Configurazione 3-4 cilindri (*.kv4)"));
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("kv4"));
    EXPECT_EQ(bench.data.GetDescription(), QStringLiteral("Golf"));
    EXPECT_EQ(form.Status().Panel(1), QStringLiteral("Config: Golf"));
    ASSERT_EQ(bench.shell.dialogs.shown().size(), 1u);
    EXPECT_TRUE(bench.shell.dialogs.last().text.startsWith(QStringLiteral(
        "Impossibile salvare la configurazione nel file.\n/no/such/folder/Golf.kv4")));
    EXPECT_EQ(bench.shell.dialogs.last().icon, Dialogs::Icon::Error);

    bench.shell.dialogs.clear();
    bench.shell.dialogs.chooseFile(QString());  // cancelled: nothing happens
    form.ActionSalvaExecute();
    EXPECT_TRUE(bench.shell.dialogs.shown().empty());
}

// Yes to the save question, then no file written (the save dialog cancelled, or a folder that
// is not there): neither the connect nor leaving the program goes on, and the configuration in
// memory stays, still to be saved.
TEST_F(MainCommandsTest, AYesWhoseSaveDidNotHappenKeepsTheConfigurationInMemory) {
    constexpr uint32_t kChangeoverSpeed = 528;
    form.ActionConnettiExecute();
    ASSERT_NE(bench.data.link().IsConnected(), 0);
    ASSERT_EQ(bench.data.SetValue(kChangeoverSpeed, 1650), 1);
    // What a connect that went on would read over the technician's value.
    ASSERT_TRUE(bench.ecu.pokeValue(16, 1201));
    for (const QString& path : {QString(), QStringLiteral("/no/such/folder/Golf.kv4")}) {
        SCOPED_TRACE(path.toStdString());
        bench.shell.dialogs.clear();
        bench.ecu.clearTrace();
        bench.shell.dialogs.answer(Dialogs::Answer::Yes);
        bench.shell.dialogs.chooseFile(path);
        form.ActionConnettiExecute();  // as after a reset; Ctrl+C waits for a disconnect
        bench.shell.dialogs.answer(Dialogs::Answer::Yes);
        bench.shell.dialogs.chooseFile(path);
        QCloseEvent close;  // the window's close box, ESCI, Alt+F4
        QApplication::sendEvent(&form, &close);
        EXPECT_FALSE(close.isAccepted());

        EXPECT_EQ(bench.shell.dialogs.fileDialogs().size(), 2u);
        EXPECT_EQ(bench.shell.dialogs.pendingAnswers(), 0);
        EXPECT_EQ(bench.data.GetValue(kChangeoverSpeed), 1650);
        EXPECT_TRUE(bench.data.IsModified());
        EXPECT_NE(bench.data.link().IsConnected(), 0);
        EXPECT_EQ(bench.count("ReadIdentity"), 0);  // no connect went on
        EXPECT_EQ(form.Status().Panel(0), QStringLiteral("Centralina connessa"));
    }
}

TEST_F(MainCommandsTest, SavingToGolfWritesTheScrambledConfigurationThroughTheSaveSequence) {
    form.ActionConnettiExecute();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("Golf.kv4"));
    bench.shell.dialogs.clear();
    bench.ecu.clearTrace();
    bench.shell.dialogs.chooseFile(path);
    form.ActionSalvaExecute();

    EXPECT_TRUE(bench.shell.dialogs.shown().empty())
        << bench.shell.dialogs.texts().join("|").toStdString();
    EXPECT_EQ(bench.data.GetDescription(), QStringLiteral("Golf"));
    EXPECT_FALSE(bench.data.IsModified());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray stored = file.readAll();
    EXPECT_TRUE(stored.startsWith("ENCRYPTED_MLTP_FILE\r\n"));
    const auto plain = Scrambler::Convert(stored, true, true, BuildProfile::ScrambleKey());
    ASSERT_TRUE(plain.has_value());
    EXPECT_TRUE(plain->contains("NomeConfigurazione=Golf.kv4")) << plain->left(400).toStdString();
    EXPECT_TRUE(plain->contains("DescrizAuto=Golf"));
    // Connected, so the ECU was told a save begins and ends.
    const auto commands = bench.ecu.traced("SendCommand");
    ASSERT_GE(commands.size(), 2u);
    EXPECT_EQ(commands.front().rfind("SendCommand 17", 0), 0u) << commands.front();
    EXPECT_EQ(commands.back().rfind("SendCommand 18", 0), 0u) << commands.back();
}

TEST_F(MainCommandsTest, AResetWhoseWriteFailsLeavesLinkAndModifiedFlag) {
    form.ActionConnettiExecute();
    bench.data.SetModified(true);
    bench.shell.dialogs.clear();
    bench.ecu.refuseWrites(true);
    bench.shell.dialogs.answer(Dialogs::Answer::Yes);
    form.ActionResetDaPcExecute();
    EXPECT_EQ(bench.shell.dialogs.last().text,
              QStringLiteral("Impossibile effettuare il reset della centralina.\nControllare il "
                             "collegamento."));
    EXPECT_NE(bench.data.link().IsConnected(), 0);
    EXPECT_TRUE(bench.data.IsModified());
    EXPECT_EQ(form.Status().Panel(0), QStringLiteral("Centralina connessa"));

    bench.shell.dialogs.answer(Dialogs::Answer::No);
    bench.ecu.clearTrace();
    form.ActionResetDaPcExecute();
    EXPECT_TRUE(bench.ecu.trace().empty());
}

TEST_F(MainCommandsTest, AResetAsksTheEcuToInitialiseAndConnectsAgain) {
    form.ActionConnettiExecute();
    bench.data.SetModified(true);
    bench.shell.dialogs.clear();
    bench.shell.dialogs.answer(Dialogs::Answer::Yes);
    form.ActionResetDaPcExecute();
    EXPECT_EQ(bench.shell.dialogs.shown().size(), 1u)
        << bench.shell.dialogs.texts().join("|").toStdString();
    EXPECT_EQ(bench.shell.dialogs.last().icon, Dialogs::Icon::Question);
    EXPECT_FALSE(bench.data.IsModified());
    EXPECT_NE(bench.data.link().IsConnected(), 0);
    // The reconnection found the request and wrote the base configuration.
    EXPECT_EQ(bench.ecu.peekValue(1) & EcuVariable::kInitialiseBit, 0);
    EXPECT_GE(bench.writes(), 50);
}
}  // namespace
