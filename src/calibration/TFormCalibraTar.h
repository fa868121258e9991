#pragma once

#include <QDialog>
#include <QRect>
#include <memory>

class CalibrationProcedure;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class TStreamDati;

// The automatic calibration screen: the engine values the technician watches, what to do at
// each step of the ECU's calibration, and Enter to start it. The procedure does the work;
// this form draws it. Shown modally by the main screen while the ECU is connected.
class TFormCalibraTar : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kTickMs = 150;

    // screen: the geometry the layout is scaled for (the primary screen by default).
    explicit TFormCalibraTar(TStreamDati& data, QWidget* parent = nullptr, QRect screen = QRect());
    ~TFormCalibraTar() override;

    // The timer's tick; public so that tests step it in virtual time.
    void Timer1Timer();
    const CalibrationProcedure& Procedure() const { return *procedure_; }

    QGroupBox* GroupGiri;
    QLabel* LabelGiri;
    QGroupBox* GroupTInjGas;
    QLabel* LabelTInjGas;
    QGroupBox* GroupTInjBenz;
    QLabel* LabelTInjBenz;
    QGroupBox* GroupLambda;
    QLabel* LabelLambda;
    QGroupBox* GroupTRidutt;
    QLabel* LabelTRidutt;
    QGroupBox* GroupTGas;
    QLabel* LabelTGas;
    QGroupBox* GroupCarburante;
    QLabel* LabelCarburante;
    QLabel* LabelOperazione;
    QProgressBar* ProgressBar1;
    QLabel* LabelNota;
    QLabel* LabelPremere;
    QPushButton* ButtonEsci;
    QTimer* Timer1;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Every way of closing (Esci, Esc, the close box) comes here.
    void reject() override;

  private:
    void createControls();
    void loadTexts();
    void draw();

    QRect screen_;
    std::unique_ptr<CalibrationProcedure> procedure_;
};
