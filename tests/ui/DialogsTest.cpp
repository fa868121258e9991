#include <gtest/gtest.h>

#include <QApplication>

#include "AboutText.h"
#include "TAboutBox.h"
#include "TFormAttesa.h"
#include "TFormSplash.h"
#include "VirtualClock.h"

namespace {
TEST(WaitDialogTest, ProgressNoticesSetOrAddToThePercentage) {
    TFormAttesa dialog;
    dialog.SetCompletionSuffix(QStringLiteral("Completato"));
    dialog.Open();
    dialog.OnProgress(37, 0);
    EXPECT_EQ(dialog.CompletedText(), QStringLiteral("37% Completato"));
    dialog.OnProgress(10, 1);
    EXPECT_EQ(dialog.CompletedText(), QStringLiteral("47% Completato"));
    dialog.SetProgress(80, false);
    EXPECT_EQ(dialog.Position(), 100);  // the bar ends at 100
    dialog.SetProgress(-5, true);
    EXPECT_EQ(dialog.CompletedText(), QStringLiteral("0% Completato"));
}

TEST(WaitDialogTest, StartsStoppedWithItsDesignTexts) {
    TFormAttesa dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Finestra di attesa"));
    EXPECT_EQ(dialog.Message(), QStringLiteral("Messaggio di attesa..."));
    EXPECT_FALSE(dialog.AnimationRunning());
    dialog.StartAnimation();
    EXPECT_TRUE(dialog.AnimationRunning());
}

TEST(AboutBoxTest, ShowsTheVersionWordFileVersionAndEdition) {
    TAboutBox box(QStringLiteral("Prodotto"));
    EXPECT_EQ(box.ProductName(), QStringLiteral("Prodotto"));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Prodotto"));
    EXPECT_EQ(box.Version(), QStringLiteral("Versione 1.0.1.20 I"));
    EXPECT_EQ(AboutText::VersionLine(QStringLiteral("Versione"), QString(), u'I'),
              QStringLiteral("Versione not available I"));
}

TEST(SplashTest, StaysTwoSecondsOnTheProgramsClock) {
    VirtualClock clock;
    TFormSplash splash;
    splash.ShowNow();
    EXPECT_TRUE(splash.isVisible());
    splash.Finish();
    EXPECT_EQ(clock.waitedMs(), TFormSplash::kShowMs);
    EXPECT_FALSE(splash.isVisible());
}
}  // namespace
