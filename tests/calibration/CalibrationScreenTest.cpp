#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "CalibrationProcedure.h"
#include "Catalogue.h"
#include "EntryLabel.h"
#include "Language.h"
#include "LoopbackEcu.h"
#include "ScriptedDialogs.h"
#include "TFormCalibraTar.h"
#include "TFormMain.h"
#include "TStreamDati.h"
#include "TemporarySettings.h"
#include "VirtualClock.h"

namespace {
using State = CalibrationProcedure::State;

const QRect kScreen(0, 0, 800, 600);
constexpr int kKMapVariable = 84;
constexpr int kMostTicks = 400;  // 60 s: far more than a calibration takes
const QString kCannotStart = QStringLiteral("Impossibile avviare la taratura. Riprovare.");
const QString kQueryFailed = QStringLiteral("Errore di comunicazione.");
const QString kTransferring =
    QStringLiteral("Taratura completata. \nTrasferimento dati in corso...");

// A key as the technician types it: to the control that has the focus in the screen.
void press(QWidget& window, Qt::Key key) {
    QWidget* focus = window.focusWidget();
    QTest::keyClick(focus != nullptr ? focus : &window, key);
}

// The program on the virtual ECU: the main screen, connected through the real link code,
// in virtual time, with a scripted user.
class CalibrationBench {
  public:
    explicit CalibrationBench(sim::VirtualEcuOptions options = {}) : ecu(clock, options) {
        Language::current().Attach(nullptr);
        data.QorConnectEcu().UseLink(&ecu.link(), [](IEcuLink*) {});
        clock.advance(6000);  // the car started and idles
        main.ActionConnettiExecute();
        dialogs.clear();
        ecu.clearTrace();
    }
    ~CalibrationBench() { Language::current().Attach(nullptr); }

    // Picks AUTOTARATURA on the main screen by keys and runs script on the calibration screen
    // while it is open; the screen is closed afterwards if the script left it open.
    bool open(const std::function<void(TFormCalibraTar&)>& script) {
        bool opened = false;
        QTimer::singleShot(0, [&] {
            auto* form = qobject_cast<TFormCalibraTar*>(QApplication::activeModalWidget());
            if (form == nullptr) return;
            opened = true;
            form->Timer1->stop();  // ticks come from the test, in virtual time
            script(*form);
            if (form->isVisible()) form->done(QDialog::Rejected);
        });
        for (int i = 0; i < 2; ++i) press(main, Qt::Key_Down);
        EXPECT_EQ(main.Entries()[main.SelectedIndex()]->objectName(), QStringLiteral("LabelTara"));
        press(main, Qt::Key_Return);
        return opened;
    }

    void tick(TFormCalibraTar& form, int count = 1) {
        for (int i = 0; i < count; ++i) {
            clock.advance(TFormCalibraTar::kTickMs);
            form.Timer1Timer();
        }
    }

    // Ticks until the screen reaches state, at most kMostTicks; the operation texts shown on
    // the way, each once, in order.
    QStringList tickUntil(TFormCalibraTar& form, State state) {
        QStringList seen;
        for (int i = 0; i < kMostTicks && form.Procedure().GetState() != state; ++i) {
            tick(form);
            const QString text = form.LabelOperazione->text();
            if (form.LabelOperazione->isVisible() && (seen.isEmpty() || seen.back() != text))
                seen << text;
        }
        EXPECT_EQ(form.Procedure().GetState(), state);
        return seen;
    }

    int sent(const std::string& request) const {
        return static_cast<int>(ecu.traced(request).size());
    }

    std::vector<int32_t> storeKMap() const {
        const ParameterStore& store = data.Store();
        const CatalogueRow& row = Catalogue::row(Catalogue::kKMap);
        std::vector<int32_t> out;
        for (int e : Catalogue::activeElements(row, store.kRows(), store.kColumns()))
            out.push_back(store.value(Catalogue::kKMap, e));
        return out;
    }

    TemporarySettings settings;
    ScriptedDialogs dialogs;
    VirtualClock clock;
    LoopbackEcu ecu;
    TStreamDati data{TStreamDati::Options{.loadLinkLibrary = false}};
    TFormMain main{data, kScreen};
};

// The cells in which two K maps differ, and by how much.
std::vector<int32_t> changes(const std::vector<int32_t>& before,
                             const std::vector<int32_t>& after) {
    std::vector<int32_t> out;
    for (size_t i = 0; i < before.size() && i < after.size(); ++i)
        if (after[i] != before[i]) out.push_back(after[i] - before[i]);
    return out;
}
}  // namespace

TEST(CalibrationScreenTest, AWholeCalibrationFromTheMainScreen) {
    CalibrationBench bench;
    ASSERT_NE(bench.data.link().IsConnected(), 0);
    const std::vector<int32_t> before = bench.storeKMap();
    ASSERT_EQ(before, bench.ecu.ecu().values(kKMapVariable));

    const bool opened = bench.open([&](TFormCalibraTar& form) {
        EXPECT_EQ(form.windowTitle(),
                  QStringLiteral("Taratura automatica - Config: ") + bench.data.GetDescription());
        bench.tick(form, 3);
        EXPECT_EQ(form.Procedure().GetState(), State::Waiting);
        EXPECT_EQ(bench.sent("SendCommand"), 0) << "nothing before Enter";
        EXPECT_TRUE(form.LabelPremere->isVisible());
        EXPECT_FALSE(form.LabelOperazione->isVisible());
        EXPECT_GT(form.LabelGiri->text().toInt(), 500) << "the engine idles";

        press(form, Qt::Key_Return);
        EXPECT_EQ(bench.ecu.traced("SendCommand 19"),
                  std::vector<std::string>{"SendCommand 19 0 48 48"});
        EXPECT_EQ(form.Procedure().GetState(), State::Running);
        EXPECT_FALSE(form.LabelPremere->isVisible());
        EXPECT_TRUE(form.ProgressBar1->isVisible());

        // What the bar reads at each moment the screen waits while the data are transferred;
        // the last of them is the pause before the final text.
        std::vector<int> barDuringTransfer;
        auto listening = std::make_shared<bool>(true);
        bench.clock.onAdvance([&, listening](qint64) {
            if (*listening && form.LabelOperazione->text() == kTransferring)
                barDuringTransfer.push_back(form.ProgressBar1->value());
        });
        const QStringList seen = bench.tickUntil(form, State::Finished);
        *listening = false;
        ASSERT_FALSE(barDuringTransfer.empty());
        EXPECT_EQ(barDuringTransfer.back(), 100);
        EXPECT_EQ(seen, (QStringList{QStringLiteral("Attesa per verifica parametri..."),
                                     QStringLiteral("Portarsi a 2800 giri in folle..."),
                                     QStringLiteral("Taratura in corso... \nNon accelerare o "
                                                    "decelerare..."),
                                     QStringLiteral("Verifica... \nNon accelerare o decelerare..."),
                                     kTransferring,
                                     QStringLiteral("Taratura terminata correttamente.")}));
        EXPECT_EQ(bench.ecu.traced("SendCommand 18"),
                  std::vector<std::string>{"SendCommand 18 1 0 0"});
        EXPECT_EQ(bench.ecu.ecu().restarts(), 1);
        EXPECT_NE(bench.data.link().IsConnected(), 0) << "reconnected";
        EXPECT_TRUE(bench.dialogs.shown().empty()) << bench.dialogs.texts().join('|').toStdString();
        EXPECT_FALSE(form.ProgressBar1->isVisible());
        EXPECT_TRUE(form.LabelNota->isVisible());
        EXPECT_EQ(form.focusWidget(), form.ButtonEsci);

        // Finished: Enter does nothing more, ticks ask nothing more, closing sends nothing.
        bench.ecu.clearTrace();
        press(form, Qt::Key_Return);
        bench.tick(form, 3);
        EXPECT_EQ(form.Procedure().GetState(), State::Finished);
        EXPECT_TRUE(form.isVisible());
        press(form, Qt::Key_Escape);
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(bench.sent("SendCommand"), 0);
    });
    ASSERT_TRUE(opened);
    const std::vector<int32_t> after = bench.ecu.ecu().values(kKMapVariable);
    EXPECT_EQ(changes(before, after), std::vector<int32_t>(6, 2)) << "the ECU calibrated";
    EXPECT_EQ(bench.storeKMap(), after) << "the store holds what the ECU changed";
    // Read back from the ECU, so not yet in any file: leaving asks to save it, as after a
    // connect.
    EXPECT_TRUE(bench.data.IsModified());
}

TEST(CalibrationScreenTest, ErrorBitsStopItWithTheirReasonsAndEnterStartsAgain) {
    CalibrationBench bench;
    bench.ecu.ecu().setCalibrationErrors(0x0C);
    ASSERT_TRUE(bench.open([&](TFormCalibraTar& form) {
        press(form, Qt::Key_Return);
        bench.tickUntil(form, State::Waiting);
        EXPECT_EQ(form.LabelOperazione->text(),
                  QStringLiteral("Impossibile procedere.Sotto chiave mancante."
                                 "Segnale giri mancante."));
        EXPECT_TRUE(form.LabelOperazione->isVisible()) << "the reasons stay above the prompt";
        EXPECT_TRUE(form.LabelPremere->isVisible());
        EXPECT_FALSE(form.ProgressBar1->isVisible());
        EXPECT_EQ(form.ProgressBar1->value(), 0);

        bench.ecu.ecu().setCalibrationErrors(0);
        press(form, Qt::Key_Return);
        EXPECT_EQ(bench.sent("SendCommand 19"), 2);
        EXPECT_EQ(form.Procedure().GetState(), State::Running);
        bench.tick(form, 25);  // 3.75 s: past steps 0 and 1, the engine not yet steady
        EXPECT_EQ(form.LabelOperazione->text(), QStringLiteral("Portarsi a 2800 giri in folle..."));
        EXPECT_EQ(form.ProgressBar1->value(), 2 * 100 / 13);
    }));
}

TEST(CalibrationScreenTest, ARefusedStartAndAFailedProgressQueryAreReported) {
    CalibrationBench bench;
    ASSERT_TRUE(bench.open([&](TFormCalibraTar& form) {
        bench.ecu.ecu().refuseCommand(19);
        press(form, Qt::Key_Return);
        EXPECT_EQ(bench.dialogs.last().text, kCannotStart);
        EXPECT_EQ(bench.dialogs.last().title, form.windowTitle());
        EXPECT_EQ(bench.dialogs.last().icon, Dialogs::Icon::Error);
        EXPECT_EQ(form.Procedure().GetState(), State::Waiting);
        EXPECT_TRUE(form.LabelPremere->isVisible());

        press(form, Qt::Key_Return);
        ASSERT_EQ(form.Procedure().GetState(), State::Running);
        bench.tick(form);
        bench.dialogs.clear();
        bench.ecu.ecu().refuseCommand(20);
        const int queries = bench.sent("SendCommand 20");
        bench.tick(form);
        EXPECT_EQ(bench.dialogs.texts(), QStringList{kQueryFailed});
        EXPECT_EQ(bench.dialogs.last().title, form.windowTitle());
        EXPECT_EQ(form.Procedure().GetState(), State::Running);
        bench.tick(form);
        EXPECT_EQ(bench.sent("SendCommand 20"), queries + 2) << "the next tick asks again";
        EXPECT_EQ(bench.dialogs.texts(), QStringList{kQueryFailed});
    }));
}

TEST(CalibrationScreenTest, ClosingWhileRunningAbortsAndReconnectsByEveryWayOut) {
    const std::vector<std::pair<const char*, std::function<void(TFormCalibraTar&)>>> ways = {
        {"Esc", [](TFormCalibraTar& f) { press(f, Qt::Key_Escape); }},
        {"Esci", [](TFormCalibraTar& f) { QTest::mouseClick(f.ButtonEsci, Qt::LeftButton); }},
        {"close box", [](TFormCalibraTar& f) { f.close(); }},
    };
    for (const auto& [name, close] : ways) {
        SCOPED_TRACE(name);
        CalibrationBench bench;
        ASSERT_TRUE(bench.open([&](TFormCalibraTar& form) {
            press(form, Qt::Key_Return);
            bench.tick(form, 20);
            ASSERT_TRUE(bench.ecu.ecu().calibrating());
            bench.data.SetModified(true);
            close(form);
            EXPECT_FALSE(form.isVisible());
        }));
        EXPECT_EQ(bench.ecu.traced("SendCommand 21"),
                  std::vector<std::string>{"SendCommand 21 0 48 48"});
        EXPECT_FALSE(bench.ecu.ecu().calibrating());
        EXPECT_EQ(bench.ecu.ecu().restarts(), 1);
        EXPECT_NE(bench.data.link().IsConnected(), 0) << "reconnected after the restart";
        EXPECT_FALSE(bench.data.IsModified());
        EXPECT_TRUE(bench.dialogs.shown().empty());
    }
}

TEST(CalibrationScreenTest, ClosingBeforeTheStartSendsNothing) {
    CalibrationBench bench;
    ASSERT_TRUE(bench.open([&](TFormCalibraTar& form) {
        bench.tick(form, 2);
        press(form, Qt::Key_Escape);
        EXPECT_FALSE(form.isVisible());
    }));
    EXPECT_EQ(bench.sent("SendCommand"), 0);
    EXPECT_EQ(bench.ecu.ecu().restarts(), 0);
}

TEST(CalibrationScreenTest, AFailedReadBackAfterCompletionIsReported) {
    CalibrationBench bench;
    const std::vector<int32_t> before = bench.storeKMap();
    bool pullAtNextMove = false;
    bench.ecu.ecu().setTraceSink([&](const std::string& line) {
        if (line.rfind("SendCommand 18", 0) == 0) pullAtNextMove = true;
    });
    bench.clock.onAdvance([&](qint64) {
        if (pullAtNextMove) bench.ecu.pullCable();  // after the ECU took command 18
    });
    ASSERT_TRUE(bench.open([&](TFormCalibraTar& form) {
        press(form, Qt::Key_Return);
        bench.tickUntil(form, State::Finished);
        const QString failure = bench.dialogs.last().text;
        EXPECT_TRUE(failure.startsWith(QStringLiteral("Taratura completata, ma la rilettura")))
            << failure.toStdString();
        EXPECT_EQ(bench.dialogs.last().icon, Dialogs::Icon::Error);
        EXPECT_EQ(form.LabelOperazione->text(), failure) << "never 'terminata correttamente'";
        EXPECT_TRUE(form.LabelNota->isVisible());
    }));
    EXPECT_NE(bench.ecu.ecu().values(kKMapVariable), before) << "the ECU did calibrate";
    EXPECT_EQ(bench.storeKMap(), before) << "but the store could not take it";
}

TEST(CalibrationScreenTest, WithoutALinkNothingOpens) {
    TemporarySettings settings;
    ScriptedDialogs dialogs;
    VirtualClock clock;
    TStreamDati data{TStreamDati::Options{.loadLinkLibrary = false}};
    TFormMain main(data, kScreen);
    dialogs.clear();
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* screen = QApplication::activeModalWidget()) {
            opened = true;
            screen->close();
        }
    });
    main.ActionTara->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(opened);
    EXPECT_EQ(dialogs.texts(),
              QStringList{QStringLiteral("Centralina non connessa: impossibile eseguire la "
                                         "taratura!")});
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Error);
    EXPECT_EQ(dialogs.last().title, main.windowTitle());
}
