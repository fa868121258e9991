#include <gtest/gtest.h>

#include <QCoreApplication>

#include "DisturbedLine.h"
#include "EcuConnection.h"
#include "EcusimProcess.h"
#include "LanguageLibrary.h"
#include "LoopbackEcu.h"
#include "ShellFixture.h"
#include "TFormMain.h"

namespace {
const QString kDisturbed = QStringLiteral("La linea seriale è disturbata: il ");

// The in-process link's counts and refusals, as the library's optional exports give them.
TQorConnectEcu::OptionalExports loopbackExports() {
    TQorConnectEcu::OptionalExports exports;
    exports.replyCounts = [](IEcuLink* link, uint32_t* requests, uint32_t* askedAgain) {
        *requests = static_cast<ecu::EcuLink*>(link)->requestsSent();
        *askedAgain = static_cast<ecu::EcuLink*>(link)->repliesAskedAgain();
    };
    exports.portDenied = [](IEcuLink* link) -> int32_t {
        return static_cast<ecu::EcuLink*>(link)->portDenied() ? 1 : 0;
    };
    return exports;
}

int warnings(const ScriptedDialogs& dialogs) {
    int n = 0;
    for (const auto& shown : dialogs.shown()) {
        if (!shown.text.startsWith(kDisturbed)) continue;
        EXPECT_EQ(shown.icon, Dialogs::Icon::Warning);
        ++n;
    }
    return n;
}
}  // namespace

TEST(DisturbedLineTest, ToldAboveFivePercentOncePerConnection) {
    using Counts = DisturbedLine::Counts;
    struct Case {
        const char* what;
        std::optional<Counts> before, after;
        std::optional<int> told;
    };
    const Case cases[] = {
        {"clean", Counts{100, 3}, Counts{300, 3}, std::nullopt},
        {"5 % exactly", Counts{0, 0}, Counts{200, 10}, std::nullopt},
        {"just above", Counts{0, 0}, Counts{200, 11}, 6},
        {"a third", Counts{1000, 50}, Counts{1300, 150}, 33},
        {"counters wrapped", Counts{0xFFFFFFF6u, 0}, Counts{90, 20}, 20},
        {"nothing sent", Counts{7, 1}, Counts{7, 1}, std::nullopt},
        {"a library that does not count", std::nullopt, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        DisturbedLine line;
        EXPECT_EQ(line.Check(c.before, c.after), c.told) << c.what;
    }
    DisturbedLine line;
    ASSERT_TRUE(line.Check(Counts{0, 0}, Counts{100, 40}));
    EXPECT_FALSE(line.Check(Counts{100, 40}, Counts{200, 80})) << "told once per connection";
    line.Reset();
    EXPECT_TRUE(line.Check(Counts{200, 80}, Counts{300, 120}));
}

// A port this user may not open: the connect message says what to do, in the program's
// language; an ordinary failure does not.
TEST(DisturbedLineTest, ARefusedPortIsExplainedInTheProgramsLanguage) {
    ShellFixture shell;
    LanguageLibrary library;
    ASSERT_TRUE(library.Load());
    Language::current().Attach(&library);
    LoopbackEcu ecu(shell.clock);
    TStreamDati data(TStreamDati::Options{.loadLinkLibrary = false});
    data.QorConnectEcu().UseLink(&ecu.link(), [](IEcuLink*) {}, loopbackExports());
    EcuConnection connection(data);
    ecu.transport().setPermissionDenied(true);
    struct Case {
        int language;
        const char* advice;
    };
    for (const Case c : {Case{0, "sudo usermod -aG dialout $USER\npoi uscire dalla sessione e "
                                 "accedere di nuovo."},
                         Case{1, "sudo usermod -aG dialout $USER\nthen log out and log in "
                                 "again."}}) {
        Language::current().SetIndex(c.language);
        shell.dialogs.clear();
        EXPECT_EQ(connection.Connect(), EcuConnection::Result::NoLink);
        const QString text = shell.dialogs.last().text;
        EXPECT_TRUE(text.startsWith(EcuConnection::LinkFailureText())) << text.toStdString();
        EXPECT_TRUE(text.endsWith(QString::fromUtf8(c.advice))) << text.toStdString();
    }
    ecu.transport().setPermissionDenied(false);
    ecu.pullCable();  // an ECU that does not answer: no word about permissions
    shell.dialogs.clear();
    EXPECT_EQ(connection.Connect(), EcuConnection::Result::NoLink);
    EXPECT_EQ(shell.dialogs.last().text, EcuConnection::LinkFailureText());
    Language::current().Attach(nullptr);
}

// In-process, on a line that spoils 2 % of its bytes: the connect's full read succeeds, the
// warning comes once for this connection and again after the next connect.
TEST(DisturbedLineTest, ANoisyLineIsToldOncePerConnection) {
    ShellFixture shell;
    LoopbackEcu ecu(shell.clock);
    TStreamDati data(TStreamDati::Options{.loadLinkLibrary = false});
    data.QorConnectEcu().UseLink(&ecu.link(), [](IEcuLink*) {}, loopbackExports());
    TFormMain form(data, QRect(0, 0, 800, 600));
    shell.dialogs.clear();
    form.ActionConnettiExecute();
    QCoreApplication::processEvents();
    EXPECT_EQ(warnings(shell.dialogs), 0) << "a clean line";

    ecu.setByteFaults(0, 0.02);
    data.SetModified(false);
    form.ActionConnettiExecute();
    QCoreApplication::processEvents();
    EXPECT_TRUE(data.IsConnected());
    EXPECT_EQ(form.Status().Panel(0), QStringLiteral("Centralina connessa"));
    EXPECT_EQ(warnings(shell.dialogs), 1) << shell.dialogs.texts().join('|').toStdString();
    EXPECT_TRUE(data.Transfer(TStreamDati::kReadEcu));
    QCoreApplication::processEvents();
    EXPECT_EQ(warnings(shell.dialogs), 1);

    data.SetModified(false);
    form.ActionConnettiExecute();
    QCoreApplication::processEvents();
    EXPECT_EQ(warnings(shell.dialogs), 2);
}

// The real library against ecusim on a pseudo-terminal: the warning of a disturbed line
// appears once with its share, never on a clean line.
TEST(DisturbedLineTest, EcusimWithCorruptedBytesIsToldAndACleanOneIsNot) {
    struct Case {
        const char* what;
        QStringList arguments;
        int warnings;
    };
    const Case cases[] = {
        {"clean", {}, 0},
        {"2 % corrupted", {"--corrupt", "0.02", "--seed", "7"}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Language::current().Attach(nullptr);
        TemporarySettings settings;
        ScriptedDialogs dialogs;
        EcusimProcess sim;
        QString error;
        ASSERT_TRUE(sim.start(c.arguments, &error)) << error.toStdString();
        qputenv("ECU_LINK_TIMEOUT_SCALE", "5");
        TStreamDati data;
        qunsetenv("ECU_LINK_TIMEOUT_SCALE");
        ASSERT_TRUE(data.QorConnectEcu().IsLoaded());
        TFormMain form(data, QRect(0, 0, 800, 600));
        dialogs.clear();
        form.ActionConnettiExecute();
        QCoreApplication::processEvents();
        EXPECT_EQ(form.Status().Panel(0), QStringLiteral("Centralina connessa"))
            << dialogs.texts().join('|').toStdString();
        EXPECT_EQ(warnings(dialogs), c.warnings) << dialogs.texts().join('|').toStdString();
        EXPECT_EQ(dialogs.shown().size(), static_cast<size_t>(c.warnings));
        if (c.warnings > 0) {
            EXPECT_TRUE(dialogs.last().text.endsWith(
                QStringLiteral("\nControllare il cavo e il connettore.")));
        }
    }
}
