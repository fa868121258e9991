#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QThread>
#include <functional>

#include "EcusimProcess.h"
#include "Language.h"
#include "ScriptedDialogs.h"
#include "TFormMain.h"
#include "TStatusBarMain.h"
#include "TStreamDati.h"
#include "TemporarySettings.h"

namespace {
// Runs the event loop until done() holds or ms have passed; true when it held.
bool waitFor(const std::function<bool()>& done, int ms) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

// The colour painted inside panel 0, right of its text.
QColor panel0Colour(TStatusBarMain* bar) {
    const QImage image = bar->grab().toImage();
    const QRect panel = bar->PanelRect(0);
    return image.pixelColor(panel.right() - 6, panel.bottom() - 4);
}
}  // namespace

// The main screen sits idle on a connected ECU when the adapter is pulled: the link library
// notices the port going away and the status bar follows without anyone asking the link.
// Real time throughout: ecusim runs on the wall clock. Nothing polls the idle screen, so the
// change comes from the port failure alone; the waits only bound a broken run and leave room
// for a loaded machine under the sanitizers.
TEST(PulledAdapterTest, TheIdleMainScreenSaysNotConnectedByItselfAndConnectedAgainLater) {
    Language::current().Attach(nullptr);
    TemporarySettings settings;
    ScriptedDialogs dialogs;
    EcusimProcess sim;
    QString error;
    ASSERT_TRUE(sim.start({}, &error)) << error.toStdString();
    qputenv("ECU_LINK_TIMEOUT_SCALE", "5");  // a loaded machine must not lose the ECU by itself
    TStreamDati data;
    qunsetenv("ECU_LINK_TIMEOUT_SCALE");
    ASSERT_TRUE(data.QorConnectEcu().IsLoaded()) << data.QorConnectEcu().LoadError().toStdString();
    dialogs.clear();
    std::vector<int> codes;
    QObject::connect(&data, &TStreamDati::mainState, [&](int code, int) { codes.push_back(code); });

    TFormMain form(data, QRect(0, 0, 800, 600));
    form.show();
    QCoreApplication::processEvents();  // the connection at the first idle moment
    ASSERT_EQ(form.Status().Panel(0), QStringLiteral("Centralina connessa"))
        << dialogs.texts().join('\n').toStdString();
    EXPECT_NE(panel0Colour(form.StatusBarMain()), QColor(Qt::yellow));

    sim.kill();
    EXPECT_TRUE(
        waitFor([&] { return form.Status().Panel(0) == "Centralina non connessa"; }, 30000));
    EXPECT_EQ(panel0Colour(form.StatusBarMain()), QColor(Qt::yellow));
    EXPECT_EQ(codes, std::vector<int>{0});
    EXPECT_FALSE(form.ActionDisconnetti->isEnabled());
    EXPECT_TRUE(dialogs.shown().empty());

    // The adapter back in: the connect command reaches the ECU again and code 1 follows.
    EcusimProcess again;
    ASSERT_TRUE(again.start({}, &error)) << error.toStdString();
    if (data.IsModified()) dialogs.answer(Dialogs::Answer::No);  // the save question
    form.ActionConnetti->trigger();
    EXPECT_TRUE(waitFor([&] { return codes.size() == 2; }, 30000));
    EXPECT_EQ(codes, (std::vector<int>{0, 1}));
    EXPECT_EQ(form.Status().Panel(0), QStringLiteral("Centralina connessa"));
    EXPECT_NE(panel0Colour(form.StatusBarMain()), QColor(Qt::yellow));
}
