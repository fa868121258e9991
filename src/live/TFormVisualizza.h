#pragma once

#include <QDialog>
#include <QRect>

#include "AcquisitionRecorder.h"
#include "LambdaDisplay.h"
#include "LiveDataReader.h"
#include "PressureFilter.h"
#include "RollingWindow.h"

class DialView;
class FuelLamp;
class GraphView;
class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class ShapeBar;
class TStreamDati;
class ThermometerView;

// The live view: every 150 ms one read of the ECU's live data, shown on a rev counter, a
// thermometer, the fuel lamps, the gas and MAP pressures, the lambda probes and the injection
// times; while a recording runs, each read also becomes a record of the acquisition file.
// The recording commands are reached by their keys only: Ctrl+F5 starts, Ctrl+F6 stops and
// asks for the name, Ctrl+F8 shows a recorded file. Ctrl+F7 puts the chart of the last minute
// in place of the rev counter, and takes it away again.
class TFormVisualizza : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kPollMs = 150;
    static const QColor kLean;  // lambda bar colours
    static const QColor kRich;

    // baseDirectory: the program's base folder, with the "Acquisition" folder below it.
    // screen: the geometry the window is scaled for (the primary screen by default).
    TFormVisualizza(TStreamDati& data, const QString& baseDirectory, QRect screen = QRect(),
                    QWidget* parent = nullptr);
    ~TFormVisualizza() override;

    // One poll: the timer's handler.
    void Timer1Timer();
    // Everything one block changes on the screen, and its record while recording.
    void ShowValues(const LiveValues& values);

    const AcquisitionRecorder& Recorder() const { return recorder_; }
    const RollingWindow& Rolling() const { return rolling_; }
    const LiveValues& Values() const { return reader_.Values(); }
    int Speed() const { return speed_; }
    int PressureMean() const { return pressure_.Mean(); }
    bool SecondProbe() const { return secondProbe_; }

    QTimer* Timer1;
    QMenu* MenuAcquisizioni;
    QAction* ActionInizia;
    QAction* ActionTermina;
    QAction* ActionGrafico;
    QAction* ActionScorrevole;
    QPushButton* ButtonEsci;
    DialView* Dial;
    GraphView* ChartScorrevole;  // the last minute, in the dial's place while shown
    QLabel* LabelGiri;
    ThermometerView* Thermometer;
    ShapeBar* ShapeTemp;
    QLabel* LabelTemp;
    FuelLamp* LampGas;
    FuelLamp* LampBenzina;
    QGroupBox* GroupPressione;
    QLabel* LabelPressione;
    QGroupBox* GroupMap;
    QLabel* LabelMap;
    QGroupBox* GroupLambda;
    QFrame* PanelLambda;
    ShapeBar* ShapeLambda;
    QLabel* LabelLambda;
    QGroupBox* GroupLambda2;
    QFrame* PanelLambda2;
    ShapeBar* ShapeLambda2;
    QLabel* LabelLambda2;
    QGroupBox* GroupTinjGas;
    QLabel* LabelTinjGas;
    QGroupBox* GroupTinjBenz;
    QLabel* LabelTinjBenz;

    void ActionIniziaExecute();
    void ActionTerminaExecute();
    void ActionGraficoExecute();
    void ActionScorrevoleExecute();

  public slots:
    // Esc, "&Esci" and the window's close all end here: a running recording is stopped
    // first, save dialog included.
    void done(int result) override;

  private:
    struct Probe {
        QGroupBox* group;
        QFrame* panel;
        ShapeBar* bar;
        QLabel* value;
    };

    void createActions();
    void createLayout();
    QGroupBox* group(const QRect& design, int text, const char* fallback, const char* name);
    QLabel* label(QWidget* parent, const QRect& design, const QString& text, const char* name,
                  Qt::Alignment alignment = Qt::AlignCenter);
    Probe probe(const QRect& design, int text, const char* fallback, const QString& suffix);
    void loadTexts();
    void showProbe(const Probe& probe, double volts, bool statusOn);
    void showTemperature(double degrees);
    void updateCommands();
    void showLinkLost();
    void createRollingChart(QWidget* parent, const QRect& design);
    void drawRollingChart();

    TStreamDati& data_;
    QRect screen_;
    LiveDataReader reader_;
    AcquisitionRecorder recorder_;
    LambdaDisplay lambda_;
    PressureFilter pressure_;
    RollingWindow rolling_;
    bool secondProbe_;
    bool showMap_;
    int speed_ = 0;
    int previousSpeed_ = 0;
    int barBottom_ = 0;  // the thermometer bar's bottom line
    int barFull_ = 0;    // its height at 100 degrees
    bool inTick_ = false;
    Probe probe1_{};
    Probe probe2_{};
    QString volts_, degrees_, bar_, ms_;
    QString graphFile_;  // the last file opened in the graph
};
