#include <gtest/gtest.h>

#include <QLocale>

#include "CalibrationProcedure.h"
#include "CalibrationReadout.h"
#include "Language.h"

namespace {
using P = CalibrationProcedure;

class CalibrationLogicTest : public ::testing::Test {
  protected:
    CalibrationLogicTest() : previousLocale_(QLocale()) {
        Language::current().Attach(nullptr);
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    }
    ~CalibrationLogicTest() override { QLocale::setDefault(previousLocale_); }

    QLocale previousLocale_;
};
}  // namespace

TEST_F(CalibrationLogicTest, EachStepTellsWhatToDoAndStepsOutsideTheTableTellNothing) {
    const P::Texts texts = P::Texts::Load(2750);
    const QString waiting = QStringLiteral("Attesa per verifica parametri...");
    const QString calibrating =
        QStringLiteral("Taratura in corso... \nNon accelerare o decelerare...");
    const QString transferring =
        QStringLiteral("Taratura completata. \nTrasferimento dati in corso...");
    const struct {
        int step;
        std::optional<QString> text;
        int progress;
    } cases[] = {
        {0, waiting, 0},
        {1, waiting, 7},
        {2, QStringLiteral("Portarsi a 2750 giri in folle..."), 15},
        {3, calibrating, 23},
        {9, calibrating, 69},
        {10, QStringLiteral("Verifica... \nNon accelerare o decelerare..."), 76},
        {11, transferring, 84},
        {12, transferring, 92},
        {13, std::nullopt, 100},
        {127, std::nullopt, 100},
        {-1, std::nullopt, 0},
        {-128, std::nullopt, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        EXPECT_EQ(P::StepText(texts, c.step), c.text);
        EXPECT_EQ(P::Progress(c.step), c.progress);
    }
}

TEST_F(CalibrationLogicTest, ErrorBitsAreAppendedInTheTablesOrderWithoutSeparators) {
    const P::Texts texts = P::Texts::Load(2800);
    const QString head = QStringLiteral("Impossibile procedere.");
    const struct {
        uint8_t bits;
        QString tail;
    } cases[] = {
        {0x0C, QStringLiteral("Sotto chiave mancante.Segnale giri mancante.")},
        {0x03, QStringLiteral("Temperatura gas troppo bassa.Temperatura riduttore troppo bassa.")},
        {0x1F, QStringLiteral("Sotto chiave mancante.Segnale giri mancante."
                              "Temperatura gas troppo bassa.Temperatura riduttore troppo bassa."
                              "Iniettori installati incompatibili")},
        {0xE0, QString()},  // bits the ECU has no text for
    };
    for (const auto& c : cases) EXPECT_EQ(P::ErrorText(texts, c.bits), head + c.tail) << c.bits;
}

TEST_F(CalibrationLogicTest, LambdaIsGreenOnlyOnTheLeanSideOfTheReference) {
    const QColor green(0, 128, 0), red(255, 0, 0);
    const struct {
        double volts;
        bool inverted;
        QColor colour;
    } cases[] = {
        {0.30, false, green}, {0.60, false, red}, {0.45, false, red},
        {0.60, true, green},  {0.30, true, red},  {0.45, true, red},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.volts << (c.inverted ? " inverted" : ""));
        EXPECT_EQ(P::LambdaColour(c.volts, 0.45, c.inverted), c.colour);
    }
}

TEST_F(CalibrationLogicTest, TheReadoutShowsWhatTheTechnicianWatches) {
    const CalibrationReadout readout(0.45, false);
    LiveValues v;
    v.rpm = 2803;
    v.lambda1 = 0.45;
    v.gasMs1 = 4.256;
    v.petrolMs1 = 3.5;
    v.t1 = 37.9;
    v.t2 = -5.7;
    v.status = LiveValues::kOnGas;
    CalibrationReadout::Texts t = readout.Of(v);
    EXPECT_EQ(t.speed, QStringLiteral("2803"));
    EXPECT_EQ(t.lambda, QStringLiteral("0,5 V "));
    EXPECT_EQ(t.lambdaColour, QColor(255, 0, 0)) << "equal to the reference";
    EXPECT_EQ(t.gasTime, QStringLiteral("4,26"));
    EXPECT_EQ(t.petrolTime, QStringLiteral("3,50"));
    EXPECT_EQ(t.reducer, QStringLiteral("37"));
    EXPECT_EQ(t.gas, QStringLiteral("-5"));
    EXPECT_EQ(t.fuel, QStringLiteral("Gas"));
    EXPECT_EQ(t.fuelColour, QColor(0, 128, 0));

    v.status = LiveValues::kLambda1On;  // on petrol; the probe's indication bit plays no part
    v.lambda1 = 0.2;
    t = readout.Of(v);
    EXPECT_EQ(t.fuel, QStringLiteral("Benz"));
    EXPECT_EQ(t.fuelColour, QColor(128, 0, 128));
    EXPECT_EQ(t.lambdaColour, QColor(0, 128, 0));
}
