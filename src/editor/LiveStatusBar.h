#pragma once

#include <QFrame>

#include "ScreenScale.h"
#include "StatusTexts.h"

class QLabel;
struct LiveValues;

// The editor's live status bar ("PanelBarra"): engine speed, the lambda probes with their
// colours, the injection times of one or two banks, gas pressure, the two temperatures and
// the state indicators.
class LiveStatusBar : public QFrame {
    Q_OBJECT
  public:
    static constexpr int kDesignHeight = 80;

    struct Reading {
        double lambdaReference = 0;  // volts
        bool invertedProbe = false;
        bool twoProbes = false;
    };

    LiveStatusBar(const ScreenScale& scale, QWidget* parent);

    void LoadCaptions();
    // One- or two-probe layout (at every showing of the editor).
    void SetProbes(bool two);
    void Show(const LiveValues& values, const Reading& reading);

    QLabel* ValueGiri;
    QLabel* ValueLambda1;
    QLabel* ValueLambda2;
    QLabel* ValueTinjGas1;
    QLabel* ValueTinjGas2;
    QLabel* ValueTinjBenz1;
    QLabel* ValueTinjBenz2;
    QLabel* ValuePress;
    QLabel* ValueTRidutt;
    QLabel* ValueTGas;
    QLabel* LabelOpenLoop;
    QLabel* LabelCutOff;
    QLabel* LabelCarburante;

  private:
    QLabel* caption(const char* name, const char* design, int x, int y, int width);
    QLabel* value(const char* name, int x, int y, int width);
    void lambda(QLabel* label, double volts, bool on, const Reading& reading);

    ScreenScale scale_;
    StatusTexts::Units units_;
    QLabel* captionGiri_;
    QLabel* captionLambda1_;
    QLabel* captionLambda2_;
    QLabel* captionTinjGas_;
    QLabel* captionTinjBenz_;
    QLabel* captionPress_;
    QLabel* captionTRidutt_;
    QLabel* captionTGas_;
    int column1_;  // left of the bank-1 and bank-2 injection-time columns, as created
    int column2_;
};
