#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <cmath>
#include <functional>

#include "ConfigTabBar.h"
#include "EcuVariable.h"
#include "EditorBench.h"
#include "LiveStatusBar.h"
#include "LiveValues.h"
#include "ScopedLocale.h"
#include "TKeyComboBox.h"
#include "TNumericEdit.h"
#include "TabAutoTar.h"
#include "TabCambio.h"
#include "TabLambda.h"
#include "TabSensore.h"

namespace {
constexpr int kThreshold = 16;  // variable of code 528
constexpr int kKMap = 84;
constexpr int kCorrections = 149;

// The K map of the ECU, rows by columns.
std::vector<std::vector<int32_t>> kMapOf(const LoopbackEcu& ecu, int rows, int columns) {
    std::vector<std::vector<int32_t>> map(static_cast<size_t>(rows));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            map[static_cast<size_t>(r)].push_back(ecu.peekValue(kKMap, r * columns + c));
    return map;
}

TEST(EditorScreenTest, TheRoadOfOneEdit) {
    EditorBench bench;
    ASSERT_TRUE(bench.ecu.pokeValue(kThreshold, 1601));  // 1600 rpm, direction bit set
    bench.Reload();
    TFormConfig& editor = bench.OpenEditor();
    ASSERT_TRUE(editor.isVisible());
    EXPECT_EQ(editor.windowTitle(),
              QStringLiteral("Configurazione veicolo - Config: ") + bench.data.GetDescription());
    EXPECT_EQ(EditorBench::Focused(), QStringLiteral("ComboCarburante"));
    for (int i = 0; i < 4; ++i) EditorBench::Press(Qt::Key_Down);
    ASSERT_EQ(EditorBench::Focused(), QStringLiteral("EditGiriCambio"));
    EXPECT_TRUE(editor.LabelLimite->isVisible());
    EXPECT_EQ(editor.LabelLimite->text(), QStringLiteral("(0;3000)"));

    EditorBench::Enter("1650");
    EXPECT_EQ(bench.ecu.peekValue(kThreshold), 1651);
    EXPECT_EQ(editor.tabCambio->EditGiriCambio->text(), QStringLiteral("1650"));
    EXPECT_EQ(EditorBench::Focused(), QStringLiteral("EditTempCambio"));
    EXPECT_EQ(editor.LabelLimite->text(), QStringLiteral("(20;90)"));

    EditorBench::Press(Qt::Key_Up);
    EditorBench::Enter("1651");
    EXPECT_EQ(bench.ecu.peekValue(kThreshold), 1651);
    EXPECT_EQ(editor.tabCambio->EditGiriCambio->text(), QStringLiteral("1650"));

    // A write the ECU refuses: the field shows what the store kept.
    bench.ecu.refuseWrites(true);
    EditorBench::Press(Qt::Key_Up);
    EditorBench::Enter("2000");
    EXPECT_EQ(editor.tabCambio->EditGiriCambio->text(), QStringLiteral("1650"));
    bench.ecu.refuseWrites(false);

    EditorBench::Press(Qt::Key_Escape);
    EXPECT_FALSE(editor.isVisible());
    ASSERT_TRUE(bench.ecu.pokeValue(kThreshold, 0));  // changeover at start
    bench.Reload();
    bench.OpenEditor();
    EXPECT_FALSE(editor.tabCambio->EditGiriCambio->isVisible());
    for (int i = 0; i < 4; ++i) EditorBench::Press(Qt::Key_Down);
    EXPECT_EQ(EditorBench::Focused(), QStringLiteral("EditTempCambio"));
}

TEST(EditorScreenTest, EscWhileTypingClosesAndSendsNothing) {
    EditorBench bench;
    const int32_t threshold = bench.ecu.peekValue(kThreshold);
    TFormConfig& editor = bench.OpenEditor();
    for (int i = 0; i < 4; ++i) EditorBench::Press(Qt::Key_Down);
    EditorBench::Press(Qt::Key_A, Qt::ControlModifier);
    EditorBench::Type("1700");
    EditorBench::Press(Qt::Key_Escape);
    EXPECT_FALSE(editor.isVisible());
    EXPECT_TRUE(bench.Writes().empty());
    EXPECT_EQ(bench.ecu.peekValue(kThreshold), threshold);
    bench.OpenEditor();
    EXPECT_EQ(editor.tabCambio->EditGiriCambio->text(), QString::number(threshold));
}

TEST(EditorScreenTest, FunctionAndPageKeysChooseTheTab) {
    EditorBench bench;
    TFormConfig& editor = bench.OpenEditor();
    const auto page = [&] { return editor.PageControl->currentWidget()->objectName(); };
    EXPECT_EQ(page(), QStringLiteral("TabCambio"));
    EditorBench::Press(Qt::Key_PageUp);
    EXPECT_EQ(page(), QStringLiteral("TabAutoTar"));
    EXPECT_EQ(EditorBench::Focused(), QStringLiteral("EditCorrCarbMinimoM"));
    EditorBench::Press(Qt::Key_F5);
    EXPECT_EQ(page(), QStringLiteral("TabCambio"));
    EditorBench::Press(Qt::Key_F7);
    EXPECT_EQ(page(), QStringLiteral("TabSensore"));
    EditorBench::Press(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(page(), QStringLiteral("TabCambio"));
    EditorBench::Press(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(page(), QStringLiteral("TabAutoTar"));
    EditorBench::Press(Qt::Key_PageDown);
    EXPECT_EQ(page(), QStringLiteral("TabCambio"));
    EditorBench::Press(Qt::Key_F2, Qt::AltModifier);
    EXPECT_EQ(page(), QStringLiteral("TabCambio"));
    EXPECT_EQ(editor.PageControl->Bar()->PaintedText(2), QStringLiteral("F3 Livello gas"));
    // Leaving and opening again: the page chosen last is still the active one.
    EditorBench::Press(Qt::Key_F2);
    EditorBench::Press(Qt::Key_Escape);
    bench.OpenEditor();
    EXPECT_EQ(page(), QStringLiteral("TabLambda"));
    EXPECT_EQ(EditorBench::Focused(), QStringLiteral("ComboTipoLambda"));
    EXPECT_TRUE(bench.Writes().empty());
}

TEST(EditorScreenTest, FuelChangeAsksThenLoadsTheBaseCarburationOfTheNewFuel) {
    EditorBench bench;
    TFormConfig& editor = bench.OpenEditor();
    const auto before = kMapOf(bench.ecu, 13, 6);

    bench.shell.dialogs.answer(Dialogs::Answer::No);
    EditorBench::Choose(1);  // "Metano"
    EXPECT_EQ(bench.shell.dialogs.last().text,
              QStringLiteral("Attenzione !!! Il proseguimento di tale operazione cancellerà\n"
                             "i parametri attuali della carburazione. Continuare ?"));
    EXPECT_EQ(bench.shell.dialogs.last().icon, Dialogs::Icon::Question);
    EXPECT_EQ(bench.shell.dialogs.last().title, editor.windowTitle());
    EXPECT_EQ(editor.tabCambio->ComboCarburante->currentIndex(), 0);
    EXPECT_TRUE(bench.Writes().empty());

    bench.shell.dialogs.answer(Dialogs::Answer::Yes);
    EditorBench::Choose(1);
    EXPECT_EQ(bench.ecu.peekValue(3, 0) & 0x0002, 0x0002);  // option 1 in "Flag1"
    // The CNG base configuration's carburation rows, as a store loaded from it holds them.
    TStreamDati cng(TStreamDati::Options{.loadLinkLibrary = false, .loadSettings = false});
    const int resource = bench.base.GetResourceId(1, 0, 0, 7);
    ASSERT_TRUE(cng.Transfer(TStreamDati::kLoadDefaults, {}, resource, 0xFF));
    std::vector<std::vector<int32_t>> expected(13);
    for (int r = 0; r < 13; ++r)
        for (int c = 0; c < 6; ++c)
            expected[static_cast<size_t>(r)].push_back(
                cng.Store().value(Catalogue::kKMap, r * 12 + c));
    ASSERT_NE(expected, before);
    EXPECT_EQ(kMapOf(bench.ecu, 13, 6), expected);
    EXPECT_EQ(editor.tabCambio->ComboCarburante->currentIndex(), 1);
    EXPECT_EQ(bench.shell.dialogs.shown().size(), 2u);  // the two questions, nothing else
    QApplication::processEvents();
    EXPECT_EQ(bench.main->Status().Panel(3), QStringLiteral("Metano"));

    // Back to LPG with the ECU refusing the K map: the failed reload is reported.
    bench.ecu.ecu().setRefusedElement(kKMap);
    bench.shell.dialogs.answer(Dialogs::Answer::Yes);
    EditorBench::Choose(1);  // Down wraps from "Metano" to "GPL"
    EXPECT_EQ(bench.ecu.peekValue(3, 0) & 0x0002, 0);
    EXPECT_EQ(bench.shell.dialogs.last().icon, Dialogs::Icon::Error);
    EXPECT_TRUE(bench.shell.dialogs.last().text.startsWith(
        QStringLiteral("Impossibile caricare in centralina la carburazione di base")));
    EXPECT_EQ(editor.tabCambio->ComboCarburante->currentIndex(), 0);
}

// The reset button of the first tab runs the main screen's reset: its question, then the
// ECU asked to initialise and connected again, which writes the base configuration into it.
TEST(EditorScreenTest, TheResetButtonAsksThenResetsTheEcuThroughTheMainScreen) {
    EditorBench bench;
    TFormConfig& editor = bench.OpenEditor();
    for (int i = 0; i < 10 && EditorBench::Focused() != QStringLiteral("ButtonReset"); ++i)
        EditorBench::Press(Qt::Key_Tab);
    ASSERT_EQ(EditorBench::Focused(), QStringLiteral("ButtonReset"));
    EXPECT_EQ(editor.tabCambio->ButtonReset->text(),
              QStringLiteral("Azzera centralina e ritorna ai parametri di base"));

    bench.shell.dialogs.answer(Dialogs::Answer::No);
    EditorBench::Press(Qt::Key_Space);
    ASSERT_EQ(bench.shell.dialogs.shown().size(), 1u);
    EXPECT_EQ(bench.shell.dialogs.last().text,
              QStringLiteral("Sei sicuro di resettare tutti i dati della centralina?"));
    EXPECT_EQ(bench.shell.dialogs.last().icon, Dialogs::Icon::Question);
    EXPECT_EQ(bench.shell.dialogs.last().buttons, Dialogs::Buttons::YesNo);
    EXPECT_EQ(bench.shell.dialogs.last().title, bench.main->windowTitle());
    EXPECT_TRUE(bench.ecu.trace().empty());

    bench.shell.dialogs.answer(Dialogs::Answer::Yes);
    EditorBench::Press(Qt::Key_Space);
    EXPECT_EQ(bench.shell.dialogs.shown().size(), 2u)
        << bench.shell.dialogs.texts().join('|').toStdString();
    EXPECT_EQ(bench.ecu.peekValue(1) & EcuVariable::kInitialiseBit, 0);
    EXPECT_GE(bench.Writes().size(), 50u);
    EXPECT_FALSE(bench.ecu.traced("Disconnect").empty());
    EXPECT_FALSE(bench.ecu.traced("Connect").empty());
    EXPECT_NE(bench.data.link().IsConnected(), 0);
    EXPECT_TRUE(editor.isVisible());
}

TEST(EditorScreenTest, CylindersFollowTheRevCounterCodeWithTheWeakSignalBitKept) {
    EditorBench bench({.model = 31});
    ASSERT_TRUE(bench.ecu.pokeValue(20, 0x40 | 4));  // weak signal, rev counter of 4 cylinders
    ASSERT_TRUE(bench.ecu.pokeValue(52, 3));
    bench.Reload();
    TFormConfig& editor = bench.OpenEditor();
    EXPECT_EQ(editor.tabCambio->ComboAccensione->currentText(), QStringLiteral("Contagiri"));
    EXPECT_EQ(editor.tabCambio->ComboSegnaleGiri->currentText(), QStringLiteral("Debole"));
    ASSERT_EQ(editor.tabCambio->ComboCilindri->count(), 5);
    EditorBench::Press(Qt::Key_Down);
    EditorBench::Press(Qt::Key_Down);
    ASSERT_EQ(EditorBench::Focused(), QStringLiteral("ComboCilindri"));
    EditorBench::Choose(2);  // "4 cilindri" -> "6 cilindri"
    EXPECT_EQ(bench.Writes(), (std::vector<std::string>{"WriteValue 52 5", "WriteValue 20 70"}));
    EditorBench::Choose(1);  // "8 cilindri"
    EXPECT_EQ(bench.ecu.peekValue(52), 7);
    EXPECT_EQ(bench.ecu.peekValue(20), 0x40 | 8);

    // "Bibobina" keeps the signal bit; the 3-4 cylinder ECU offers two counts only.
    EditorBench::Press(Qt::Key_Down);
    EditorBench::Choose(2);  // "Contagiri" -> wraps to "Monobobina" -> "Bibobina"
    EXPECT_EQ(bench.ecu.peekValue(20), 0x40 | 2);
    EditorBench bench34;
    TFormConfig& small = bench34.OpenEditor();
    EXPECT_EQ(small.tabCambio->ComboCilindri->count(), 2);
}

TEST(EditorScreenTest, NewProbeTypeWritesItsDefaultsOnTheNextTick) {
    EditorBench bench;
    TFormConfig& editor = bench.OpenEditor();
    EditorBench::Press(Qt::Key_F2);
    ASSERT_EQ(EditorBench::Focused(), QStringLiteral("ComboTipoLambda"));
    EditorBench::Choose(3);  // "0.8 - 1.6 Volt"
    EXPECT_EQ(bench.Writes(), (std::vector<std::string>{"WriteValue 4 4"}));
    bench.ecu.clearTrace();
    editor.Timer1Timer();
    EXPECT_EQ(bench.Writes(),
              (std::vector<std::string>{"WriteValue 5 69", "WriteValue 9 56", "WriteValue 8 71",
                                        "WriteValue 11 56", "WriteValue 10 71", "WriteValue 72 41",
                                        "WriteValue 71 82"}));
    bench.ecu.clearTrace();
    editor.Timer1Timer();
    EXPECT_TRUE(bench.Writes().empty());

    // A stored code with bit 6 still selects its entry; a code outside the table writes
    // nothing after a refused type change, and the seven are read back.
    ASSERT_TRUE(bench.ecu.pokeValue(4, 40 | 0x40));
    bench.Reload();
    EditorBench::Press(Qt::Key_F1);
    EditorBench::Press(Qt::Key_F2);
    EXPECT_EQ(editor.tabLambda->ComboTipoLambda->currentIndex(), 1);
    ASSERT_TRUE(bench.ecu.pokeValue(4, 7));
    bench.Reload();
    bench.ecu.refuseWrites(true);
    EditorBench::Choose(1);
    bench.ecu.refuseWrites(false);
    bench.ecu.clearTrace();
    editor.Timer1Timer();
    EXPECT_TRUE(bench.Writes().empty());
    EXPECT_EQ(bench.ecu.traced("ReadVariable").size(), 8u);  // the seven, then RifLambda
}

TEST(EditorScreenTest, LevelReferencesOfAnInvertedSensorMustFall) {
    EditorBench bench;
    ASSERT_TRUE(bench.ecu.pokeValue(36, 195));  // position 7: inverted, custom references
    bench.Reload();
    TFormConfig& editor = bench.OpenEditor();
    EditorBench::Press(Qt::Key_F3);
    EXPECT_TRUE(editor.tabSensore->GroupRifSensore->isVisible());
    EXPECT_EQ(editor.tabSensore->ComboSensore->currentIndex(), -1);
    EditorBench::Press(Qt::Key_Down);
    for (const char* value : {"140", "120", "100", "80"}) EditorBench::Enter(value);
    EXPECT_TRUE(bench.Writes().empty());  // Enter in a reference writes nothing
    ASSERT_EQ(EditorBench::Focused(), QStringLiteral("ButtonAccetta"));
    EditorBench::Press(Qt::Key_Space);
    EXPECT_EQ(bench.ecu.peek(37), (std::vector<int32_t>{115, 135, 155, 175}));

    bench.ecu.clearTrace();
    EditorBench::Press(Qt::Key_F4);
    EditorBench::Press(Qt::Key_F3);
    EXPECT_EQ(editor.tabSensore->EditLivello[0]->text(), QStringLiteral("140"));
    EditorBench::Press(Qt::Key_Down);
    for (const char* value : {"80", "100", "120", "140"}) EditorBench::Enter(value);
    EditorBench::Press(Qt::Key_Space);
    EXPECT_EQ(bench.shell.dialogs.last().text,
              QStringLiteral("Attenzione: i riferimenti LIVELLO non sono corretti!"));
    EXPECT_EQ(bench.shell.dialogs.last().icon, Dialogs::Icon::Error);
    EXPECT_TRUE(bench.Writes().empty());
    EXPECT_EQ(editor.tabSensore->EditLivello[3]->text(), QStringLiteral("140"));

    // "0 - 90 ohm": code 2 with its references as they are; the group goes away.
    EditorBench::Press(Qt::Key_F4);
    EditorBench::Press(Qt::Key_F3);
    EditorBench::Choose(1);  // the list opens on its first entry
    EXPECT_EQ(bench.ecu.peekValue(36), 2);
    EXPECT_EQ(bench.ecu.peek(37), (std::vector<int32_t>{100, 128, 153, 178}));
    EXPECT_FALSE(editor.tabSensore->GroupRifSensore->isVisible());
}

TEST(EditorScreenTest, ZoneCorrectionShiftsItsCellsAndRecordsTheCorrection) {
    EditorBench bench;
    ASSERT_TRUE(bench.ecu.pokeValue(kKMap, 254, 4 * 6 + 2));
    bench.Reload();
    const auto before = kMapOf(bench.ecu, 13, 6);
    TFormConfig& editor = bench.OpenEditor();
    EditorBench::Press(Qt::Key_F4);
    for (int i = 0; i < 3; ++i) EditorBench::Press(Qt::Key_Down);
    ASSERT_EQ(EditorBench::Focused(), QStringLiteral("EditCorrCarbBassoFM"));
    EditorBench::Enter("3");
    auto expected = before;
    for (int r = 3; r <= 5; ++r)
        for (int c = 1; c <= 5; ++c)
            if (expected[r][c] + 3 <= 255) expected[r][c] += 3;
    EXPECT_EQ(kMapOf(bench.ecu, 13, 6), expected);
    EXPECT_EQ(bench.ecu.peekValue(kKMap, 4 * 6 + 2), 254);
    EXPECT_EQ(bench.ecu.peekValue(kCorrections, 1 * 4 + 1), 3);
    EXPECT_EQ(editor.tabAutoTar->Field(1, 1)->text(), QStringLiteral("3"));
    EXPECT_EQ(bench.ecu.traced("WriteElement2").size(), 15u);  // 14 cells and the correction
    EXPECT_TRUE(bench.shell.dialogs.shown().empty());

    // One cell refused: the correction no longer matches the map, and the technician is told.
    bench.ecu.ecu().setRefusedElement(kKMap, 3 * 6 + 1);
    EditorBench::Press(Qt::Key_Up);
    EditorBench::Enter("5");
    EXPECT_EQ(bench.ecu.peekValue(kCorrections, 5), 5);
    EXPECT_EQ(bench.ecu.peekValue(kKMap, 3 * 6 + 1), expected[3][1]);
    EXPECT_EQ(bench.ecu.peekValue(kKMap, 3 * 6 + 2), expected[3][2] + 2);
    EXPECT_EQ(bench.shell.dialogs.last().icon, Dialogs::Icon::Error);
    EXPECT_EQ(bench.shell.dialogs.last().title, editor.windowTitle());

    // Nothing taken at all: nothing changed, nothing to report.
    bench.shell.dialogs.clear();
    bench.ecu.refuseWrites(true);
    EditorBench::Press(Qt::Key_Up);
    EditorBench::Enter("-4");
    EXPECT_EQ(editor.tabAutoTar->Field(1, 1)->text(), QStringLiteral("5"));
    EXPECT_TRUE(bench.shell.dialogs.shown().empty());
}

// A correction typed at once, on each road to the carburation tab: its first field has the
// whole "0" selected, so "-2" replaces it and the idle cells of the lowest zone go down by 2.
TEST(EditorScreenTest, ACorrectionTypedRightAfterReachingTheTabIsTakenAsTyped) {
    struct Road {
        const char* name;
        std::function<void(EditorBench&)> go;  // from the editor just opened on its first tab
    };
    const Road roads[] = {
        {"F4", [](EditorBench&) { EditorBench::Press(Qt::Key_F4); }},
        {"opening on it",
         [](EditorBench& bench) {
             EditorBench::Press(Qt::Key_F4);
             EditorBench::Press(Qt::Key_Escape);
             bench.OpenEditor();
         }},
        {"Page Up", [](EditorBench&) { EditorBench::Press(Qt::Key_PageUp); }},
        {"Page Down",
         [](EditorBench&) {
             EditorBench::Press(Qt::Key_F3);
             EditorBench::Press(Qt::Key_PageDown);
         }},
    };
    for (const Road& road : roads) {
        SCOPED_TRACE(road.name);
        EditorBench bench;
        const auto before = kMapOf(bench.ecu, 13, 6);
        TFormConfig& editor = bench.OpenEditor();
        road.go(bench);
        ASSERT_EQ(editor.PageControl->currentWidget()->objectName(), QStringLiteral("TabAutoTar"));
        ASSERT_EQ(EditorBench::Focused(), QStringLiteral("EditCorrCarbMinimoM"));
        EditorBench::Type(QStringLiteral("-2"));
        EditorBench::Press(Qt::Key_Return);

        EXPECT_EQ(editor.tabAutoTar->Field(0, 0)->text(), QStringLiteral("-2"));
        EXPECT_EQ(bench.ecu.peekValue(kCorrections, 0), -2);
        auto expected = before;
        for (int r = 0; r <= 2; ++r) expected[r][0] -= 2;
        EXPECT_EQ(kMapOf(bench.ecu, 13, 6), expected);
    }
}

TEST(EditorScreenTest, HighlightFollowsTheEngine) {
    EditorBench bench;
    TFormConfig& editor = bench.OpenEditor();
    TabAutoTar& tab = *editor.tabAutoTar;
    const auto red = [](TNumericEdit* field) {
        return field->palette().color(QPalette::Base) == QColor(255, 0, 0);
    };
    EditorBench::Press(Qt::Key_F4);
    EXPECT_EQ(tab.Highlighted(), (ZoneHighlight::Part{0, 0}));  // before any live data
    editor.Timer1Timer();                                       // the engine idles: the idle column
    const ZoneHighlight::Part idle = tab.Highlighted();
    EXPECT_EQ(idle.columnClass, 0);
    EXPECT_TRUE(red(tab.Field(idle.zone, 0)));
    // Off idle: above the first speed boundary (1500 rpm) the off-idle column lights up.
    int rpm = 0;
    for (int second = 0; second < 120 && rpm < 2000; ++second) {
        bench.shell.clock.advance(1000);
        editor.Timer1Timer();
        rpm = editor.PanelBarra->ValueGiri->text().chopped(3).toInt();
    }
    ASSERT_GE(rpm, 2000);
    const ZoneHighlight::Part part = tab.Highlighted();
    EXPECT_EQ(part.columnClass, 1);
    EXPECT_TRUE(red(tab.Field(part.zone, 1)));
    EXPECT_FALSE(red(tab.Field(idle.zone, 0)));
    // Another tab: no more updates; the field lit last stays red.
    EditorBench::Press(Qt::Key_F1);
    bench.shell.clock.advance(60000);
    editor.Timer1Timer();
    EXPECT_EQ(tab.Highlighted(), part);
    EXPECT_TRUE(red(tab.Field(part.zone, 1)));
}

TEST(EditorScreenTest, StatusBarShowsTheLiveValues) {
    const ScopedLocale italian(QLocale(QLocale::Italian, QLocale::Italy));
    EditorBench bench;
    TFormConfig& editor = bench.OpenEditor();
    LiveStatusBar& bar = *editor.PanelBarra;
    LiveValues v;
    v.rpm = 850;
    v.lambda1 = 0.2;
    v.status = LiveValues::kOpenLoop | LiveValues::kOnGas | LiveValues::kLambda1On;
    v.pressure = StatusTexts::PressureHundredths(5);
    v.t1Code = 0;
    v.t2Code = 120;
    v.t2 = 19.7;
    v.gasMs1 = 3.456;
    bar.SetProbes(false);
    bar.Show(v, {.lambdaReference = 0.55});
    EXPECT_EQ(bar.ValueGiri->text(), QStringLiteral("850rpm"));
    EXPECT_EQ(bar.ValueLambda1->text(), QStringLiteral("0,20V"));
    EXPECT_EQ(bar.ValueLambda1->palette().color(QPalette::Window), QColor(0, 128, 0));
    EXPECT_TRUE(bar.ValueLambda1->isEnabled());
    EXPECT_EQ(bar.ValuePress->text(), QStringLiteral("n.d."));
    EXPECT_EQ(bar.ValueTRidutt->text(), QStringLiteral("n.d."));
    EXPECT_EQ(bar.ValueTGas->text(), QStringLiteral("19°C"));
    EXPECT_EQ(bar.ValueTinjGas1->text(), QStringLiteral("3,46"));
    EXPECT_TRUE(bar.LabelOpenLoop->isVisible());
    EXPECT_FALSE(bar.LabelCutOff->isVisible());
    EXPECT_EQ(bar.LabelCarburante->text(), QStringLiteral("GAS"));
    EXPECT_FALSE(bar.ValueLambda2->isVisible());
    EXPECT_EQ(bar.ValueTinjGas1->x(), (330 + 400) / 2);

    v.pressure = StatusTexts::PressureHundredths(-15);
    v.status = LiveValues::kCutOff;
    bar.SetProbes(true);
    bar.Show(v, {.lambdaReference = 0.55, .invertedProbe = true, .twoProbes = true});
    EXPECT_EQ(bar.ValuePress->text(), QStringLiteral("-0,01bar"));
    EXPECT_EQ(bar.ValueLambda1->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_FALSE(bar.ValueLambda1->isEnabled());
    EXPECT_TRUE(bar.LabelCutOff->isVisible());
    EXPECT_EQ(bar.LabelCarburante->text(), QStringLiteral("BENZINA"));
    EXPECT_TRUE(bar.ValueLambda2->isVisible());
    EXPECT_EQ(bar.ValueTinjGas1->x(), 330);

    // A tick from the ECU itself, ten seconds after power-up, the engine idling: the speed the
    // virtual engine had while the block was read.
    bench.shell.clock.advance(std::max<qint64>(0, 10000 - bench.shell.clock.nowMs()));
    const qint64 from = bench.shell.clock.nowMs();
    editor.Timer1Timer();
    QStringList speeds;
    for (qint64 t = from; t <= bench.shell.clock.nowMs(); ++t)
        speeds << QString::number(std::lround(bench.ecu.ecu().engineAt(t).rpm)) + "rpm";
    EXPECT_TRUE(speeds.contains(bar.ValueGiri->text()))
        << bar.ValueGiri->text().toStdString() << " not in " << speeds.join(' ').toStdString();
    EXPECT_GT(bench.ecu.ecu().engineAt(from).rpm, 800);
    EXPECT_EQ(bench.ecu.traced("ReadBlock").size(), 1u);
}

TEST(EditorScreenTest, PulledCableIsReportedOnceWhileTheMessageIsOpen) {
    EditorBench bench;
    TFormConfig& editor = bench.OpenEditor();
    bench.ecu.pullCable();
    int ticksWhileOpen = 0;
    bench.shell.dialogs.whileOpen([&] {
        ++ticksWhileOpen;
        editor.Timer1Timer();
    });
    editor.Timer1Timer();
    EXPECT_EQ(ticksWhileOpen, 1);
    ASSERT_EQ(bench.shell.dialogs.shown().size(), 1u);
    EXPECT_EQ(bench.shell.dialogs.last().text,
              QStringLiteral("La centralina è disconnessa poichè non risponde correttamente. "
                             "\nImpossibile connettersi."));
    EXPECT_EQ(bench.shell.dialogs.last().title, editor.windowTitle());
    EXPECT_EQ(bench.shell.dialogs.last().icon, Dialogs::Icon::Error);
}

TEST(EditorScreenTest, AWiderScreenScalesTheEditor) {
    EditorShell shell;
    TStreamDati data(TStreamDati::Options{.loadLinkLibrary = false});
    TFormConfig editor(data, QRect(0, 0, 1024, 768));
    EXPECT_EQ(editor.size(), QSize(1024, 768));
    EXPECT_EQ(editor.PageControl->Bar()->Thickness(), 130 * 1024 / 800);
    EXPECT_EQ(editor.PageControl->Bar()->font().pointSize(), 12);
    EXPECT_EQ(editor.PanelBarra->height(), 80 * 1024 / 800);
    EXPECT_EQ(editor.tabCambio->EditGiriCambio->width(), 80 * 1024 / 800);
}
}  // namespace
