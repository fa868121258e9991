#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>

#include "BuildProfile.h"
#include "EntryLabel.h"
#include "LanguageLibrary.h"
#include "LoopbackEcu.h"
#include "MainLayout.h"
#include "MainStatus.h"
#include "ShellFixture.h"
#include "TFormMain.h"
#include "TStatusBarMain.h"

namespace {
const QRect kScreen(0, 0, 800, 600);

void press(QWidget* target, int key) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &down);
}

void hover(QWidget* label) {
    QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), label->mapToGlobal(QPointF(2, 2)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(label, &move);
}

QStringList captions(const QMenu* menu) {
    QStringList out;
    for (const QAction* a : menu->actions()) out << a->text() + (a->isChecked() ? "*" : "");
    return out;
}

class MainScreenTest : public ::testing::Test {
  protected:
    MainScreenTest() { shell.dialogs.clear(); }  // the settings' first-run notice

    ShellFixture shell;
    std::unique_ptr<TStreamDati> data = shell.makeOfflineData();
};

TEST_F(MainScreenTest, ArrowKeysStopAtTheEndsAndEnterRunsTheSelectedCommand) {
    TFormMain form(*data, kScreen);
    int opened = -1;
    form.SetScreens(
        {.liveView = [&] { opened = 1; }, .calibration = {}, .programming = [&] { opened = 5; }});
    ASSERT_EQ(form.Entries().size(), 7u);
    press(&form, Qt::Key_Up);
    EXPECT_EQ(form.SelectedIndex(), 0);
    EXPECT_TRUE(form.Entries()[0]->IsSelected());
    for (int i = 0; i < 9; ++i) press(&form, Qt::Key_Down);
    EXPECT_EQ(form.SelectedIndex(), 6);
    EXPECT_EQ(form.Entries()[6]->objectName(), QStringLiteral("LabelTermina"));
    press(&form, Qt::Key_Up);
    press(&form, Qt::Key_Return);
    EXPECT_EQ(opened, 5);

    // The last hovered entry is the one Enter runs, wherever the mouse went afterwards.
    hover(form.Entries()[1]);
    EXPECT_EQ(form.SelectedIndex(), 1);
    EXPECT_FALSE(form.Entries()[5]->IsSelected());
    press(form.Entries()[0], Qt::Key_Enter);
    EXPECT_EQ(opened, 1);
    press(&form, Qt::Key_Left);
    EXPECT_EQ(form.SelectedIndex(), 1);
}

TEST_F(MainScreenTest, PanelsScaleWithTheScreenWidth) {
    TFormMain wide(*data, QRect(0, 0, 1024, 768));
    EXPECT_EQ(wide.StatusBarMain()->PanelWidth(0), 281);
    EXPECT_EQ(wide.StatusBarMain()->PanelWidth(1), 384);
    TFormMain design(*data, kScreen);
    EXPECT_EQ(design.StatusBarMain()->PanelWidth(0), 220);
    EXPECT_EQ(design.StatusBarMain()->PanelWidth(3), 50);
}

TEST(MainLayoutTest, EntriesAreCentredAboveTheStatusBarWithOneLeftEdge) {
    // h = 45, gap = 0; top = 40 + (0.89 x 600 - 20 - 40 - 7 x 45) x 0.5 = 40 + 79
    EXPECT_EQ(MainLayout::Tops(40, 50, 7, 600, 20),
              (std::vector<int>{119, 164, 209, 254, 299, 344, 389}));
    // h = 90, gap = 1: 10 + (890 - 10 - 180 - 1) x 0.5 = 10 + 349
    EXPECT_EQ(MainLayout::Tops(10, 100, 2, 1000, 0), (std::vector<int>{359, 450}));
    // Too many entries for the screen: (534 - 20 - 40 - 630 - 6) x 0.5 = -81, cut toward zero.
    EXPECT_EQ(MainLayout::Tops(40, 100, 7, 600, 20).front(), 40 - 81);
    EXPECT_EQ(MainLayout::Tops(40, 100, 7, 601, 20).front(), 40 - 80);
    EXPECT_EQ(MainLayout::CommonLeft(800, 400), 180);
    EXPECT_EQ(MainLayout::CommonLeft(1024, 301), 335);
    EXPECT_EQ(TStatusBarMain::TextTop(0, 20, 13), 2);
    EXPECT_EQ(TStatusBarMain::TextTop(1, 17, 13), 2);
}

TEST_F(MainScreenTest, EachMainStateCodeChangesExactlyItsPanels) {
    MainStatus::Facts up{.connected = true,
                         .description = QStringLiteral("Golf"),
                         .firmwareMajor = 4,
                         .firmwareMinor = 7,
                         .cng = true};
    struct Case {
        int code;
        std::array<QString, 4> expected;
    };
    const std::array<QString, 4> before = {"Centralina connessa", "Config: Old",
                                           "Versione firmware: 1.2", "GPL"};
    const Case cases[] = {
        {0, {"Centralina non connessa", "Config: Old", "", ""}},
        {1, {"Centralina connessa", "Config: Golf", "Versione firmware: 4.7", "Metano"}},
        {2, {before[0], "Config: Golf", before[2], before[3]}},
        {5, {before[0], before[1], before[2], "Metano"}},
        {3, before},
        {4, before},
    };
    for (const Case& c : cases) {
        MainStatus status;
        status.Apply(MainStatus::kLinkUp, {.connected = true,
                                           .description = QStringLiteral("Old"),
                                           .firmwareMajor = 1,
                                           .firmwareMinor = 2,
                                           .cng = false});
        status.Apply(c.code, up);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(status.Panel(i), c.expected[i]) << c.code << " " << i;
    }
}

TEST_F(MainScreenTest, LinkCodesEnableConnectOrDisconnect) {
    TFormMain form(*data, kScreen);
    EXPECT_TRUE(form.ActionConnetti->isEnabled());
    EXPECT_FALSE(form.ActionDisconnetti->isEnabled());
    form.OnMainState(1);
    EXPECT_FALSE(form.ActionConnetti->isEnabled());
    EXPECT_TRUE(form.ActionDisconnetti->isEnabled());
    form.OnMainState(2);
    EXPECT_TRUE(form.ActionDisconnetti->isEnabled());
    form.OnMainState(0);
    EXPECT_TRUE(form.ActionConnetti->isEnabled());
    EXPECT_EQ(form.Status().Panel(0), QStringLiteral("Centralina non connessa"));
    EXPECT_EQ(form.Status().Panel(2), QString());
}

TEST_F(MainScreenTest, HiddenCommandsStayOutOfTheMenus) {
    TFormMain form(*data, kScreen);
    for (QAction* a : {form.ActionApri, form.ActionSalva, form.ActionBloccoNote,
                       form.ActionProgrammaCliente, form.ActionResetCentralina})
        EXPECT_FALSE(a->isVisible()) << a->objectName().toStdString();
    EXPECT_TRUE(form.ActionEsci->isVisible());
    EXPECT_EQ(form.ActionConnetti->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
    EXPECT_EQ(form.ActionDisconnetti->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
}

TEST_F(MainScreenTest, FirstShowBuildsOneItalianItemAndConnectsAtTheFirstIdleMoment) {
    TFormMain form(*data, kScreen);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Initializing..."));
    form.show();
    EXPECT_EQ(form.windowTitle(), BuildProfile::ProductTitle());
    EXPECT_EQ(shell.clock.waitedMs(), 2000);  // the splash
    EXPECT_EQ(captions(form.MenuSelLingua()), QStringList{"&Italiano*"});
    EXPECT_EQ(captions(form.FormPopupMenu()), QStringList{"&Italiano*"});
    EXPECT_TRUE(shell.dialogs.shown().empty());

    QCoreApplication::processEvents();
    const QStringList texts = shell.dialogs.texts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0], EcuConnection::LinkFailureText());
    EXPECT_EQ(texts[1], TFormMain::NotConnectedWarning());
    EXPECT_TRUE(texts[1].startsWith(
        "ATTENZIONE: non è stata rilevata la connessione con la centralina\n\n- le modifiche"));
    EXPECT_EQ(shell.dialogs.last().title, BuildProfile::ProductTitle());
}

TEST_F(MainScreenTest, AStoredLanguageBeyondTheCountStartsInLanguage0) {
    LanguageLibrary library;
    ASSERT_TRUE(library.Load(QStringLiteral("Stride500Languages.dll")));
    Language::current().Attach(&library);
    data->QorGlobalData().Set(2, 5);
    TFormMain form(*data, kScreen);
    form.show();
    EXPECT_EQ(Language::current().Index(), 0);
    EXPECT_EQ(captions(form.MenuSelLingua()), (QStringList{"Lingua 0*", "Lingua 1", "Lingua 2"}));
    EXPECT_EQ(captions(form.FormPopupMenu()).front(), QStringLiteral("Lingua 0*"));
}

TEST_F(MainScreenTest, EnglishRelabelsTheScreenAndSurvivesARestart) {
    LanguageLibrary library;
    ASSERT_TRUE(library.Load());
    Language::current().Attach(&library);
    {
        TFormMain form(*data, kScreen);
        form.show();
        press(&form, Qt::Key_Down);
        const int left = form.Entries()[0]->x();
        form.MenuSelLingua()->actions().at(1)->trigger();
        EXPECT_EQ(form.Entries()[0]->text(), QStringLiteral("VEHICLE SETUP"));
        EXPECT_EQ(form.LabelMenu()->text(), QStringLiteral("MAIN MENU"));
        EXPECT_EQ(form.ActionConnetti->text(), QStringLiteral("&Connect"));
        EXPECT_EQ(form.MenuSelLingua()->title(), QStringLiteral("&Language"));
        EXPECT_EQ(form.Status().Panel(0), QStringLiteral("ECU not connected"));
        EXPECT_EQ(form.SelectedIndex(), 1);       // the selection survives
        EXPECT_NE(form.Entries()[0]->x(), left);  // the left edge follows the new widths
        EXPECT_EQ(captions(form.FormPopupMenu()), (QStringList{"&Italiano", "&English*"}));
    }
    data.reset();  // the settings are written at exit
    data = shell.makeOfflineData();
    Language::current().Attach(&library);
    TFormMain again(*data, kScreen);
    again.show();
    EXPECT_EQ(Language::current().Index(), 1);
    EXPECT_EQ(again.Entries()[6]->text(), QStringLiteral("EXIT"));
}
// Closing the main window by its "ESCI" entry with changes in memory that no file holds: the
// save question decides, Cancel keeps the window and the link, and a close disconnects the ECU.
TEST(MainWindowCloseTest, TheSaveQuestionDecidesAndAClosedWindowLeavesTheEcuDisconnected) {
    const struct {
        Dialogs::Answer answer;
        bool saves;
        bool closes;
    } cases[] = {{Dialogs::Answer::Yes, true, true},
                 {Dialogs::Answer::No, false, true},
                 {Dialogs::Answer::Cancel, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        ShellFixture shell;
        QTemporaryDir folder;
        LoopbackEcu ecu(shell.clock);
        TStreamDati data{TStreamDati::Options{.loadLinkLibrary = false}};
        data.QorConnectEcu().UseLink(&ecu.link(), [](IEcuLink*) {});
        TFormMain form(data, kScreen);
        form.show();
        QApplication::processEvents();  // the connection at the first idle moment
        ASSERT_TRUE(ecu.ecu().sessionOpen()) << shell.dialogs.texts().join('|').toStdString();
        data.SetModified(true);
        shell.dialogs.clear();
        ecu.clearTrace();

        const QString file = folder.filePath(QStringLiteral("Golf.kv4"));
        shell.dialogs.answer(c.answer);
        if (c.saves) shell.dialogs.chooseFile(file);
        for (int i = 0; i < 6; ++i) press(&form, Qt::Key_Down);
        ASSERT_EQ(form.Entries()[6]->objectName(), QStringLiteral("LabelTermina"));
        press(&form, Qt::Key_Return);

        ASSERT_FALSE(shell.dialogs.shown().empty());
        EXPECT_EQ(shell.dialogs.shown().front().text,
                  QStringLiteral("Salvare i dati in memoria in un file?"));
        EXPECT_EQ(shell.dialogs.shown().front().buttons, Dialogs::Buttons::YesNoCancel);
        EXPECT_EQ(shell.dialogs.pendingAnswers(), 0);
        EXPECT_EQ(shell.dialogs.fileDialogs().size(), c.saves ? 1u : 0u);
        EXPECT_EQ(QFileInfo::exists(file), c.saves);
        EXPECT_EQ(form.isVisible(), !c.closes);
        EXPECT_EQ(ecu.ecu().sessionOpen(), !c.closes);
        EXPECT_EQ(data.link().IsConnected() != 0, !c.closes);
        EXPECT_EQ(ecu.traced("Disconnect").empty(), !c.closes);
        EXPECT_EQ(data.IsModified(), !c.saves);
        if (!c.closes) {
            EXPECT_EQ(form.Status().Panel(0), QStringLiteral("Centralina connessa"));
        }
    }
}
}  // namespace
