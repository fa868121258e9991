#pragma once

#include <QDialog>
#include <QRect>
#include <functional>
#include <memory>

#include "GraphModel.h"
#include "GraphOverlay.h"
#include "GraphXY.h"

class GraphView;
class QAction;
class QMenu;
class QMenuBar;
class QPrinter;

// The graph of an acquisition file: one line per recorded quantity against time, zoomed by
// dragging across the plot, with the traces dialog, printing, the values under the mouse and
// an export of the recording as comma-separated values. A second recording can be laid over
// the first (its lines dashed, shifted by keys or by a typed offset), and the XY view plots one
// trace against another. Only what a pixel column can show of each trace is drawn, so a day of
// recording redraws as fast as a few seconds.
class TFormGraficoDrt : public QDialog {
    Q_OBJECT
  public:
    static const QColor kMainCloud;     // the XY view's points of each recording
    static const QColor kOverlayCloud;  //
    static constexpr int kShiftSteps = 50;  // a shift key moves by about 1/50 of the span

    // screen: the geometry the fonts are scaled for (the primary screen by default).
    explicit TFormGraficoDrt(const QString& fileName, QRect screen = QRect(),
                             QWidget* parent = nullptr);
    ~TFormGraficoDrt() override;

    // Reads the file. False when it is missing (nothing is said) or not an acquisition (the
    // format error is shown); the window is then not to be shown.
    bool Load();
    // Load and, when the file is good, show the window modally, maximised.
    void Execute();

    GraphModel* Model() const { return model_.get(); }
    GraphOverlay* Overlay() const { return overlay_.get(); }
    bool IsXY() const { return xy_; }
    GraphXY::Axes XYAxes() const { return axes_; }
    // The round step a shift key moves the compared recording by, for the visible span.
    double ShiftStep() const;

    void ActionTracceExecute();
    void ActionConfrontaExecute();
    void ActionSpostamentoExecute();
    void ActionVistaXYExecute();
    void ActionAssiXYExecute();
    void ActionStampaExecute();
    void ActionAnnullaZoomExecute();
    void ActionEsportaExecute();
    void ZoomTo(double from, double to);
    // Lays this recording over the first. False when it is missing or not an acquisition (the
    // format error is shown); the graph stays as it was.
    bool Compare(const QString& fileName);
    void ShiftOverlay(double seconds);
    void SetXYAxes(GraphXY::Axes axes);
    // Every copy asked for is a print job of its own. False when the printer refuses a job.
    bool Print(QPrinter& printer);
    // The print dialog; false when the user cancels. Tests set up the printer instead.
    std::function<bool(QPrinter&)> PrintSetup;

    QMenuBar* MenuBar;
    QMenu* MenuGrafico;
    QAction* ActionTracce;
    QAction* ActionConfronta;
    QAction* ActionSpostamento;
    QAction* ActionIndietro;
    QAction* ActionAvanti;
    QAction* ActionVistaXY;
    QAction* ActionAssiXY;
    QAction* ActionEsporta;
    QAction* ActionStampa;
    QAction* ActionAnnullaZoom;
    QAction* ActionEsci;
    GraphView* View;

  private:
    void createActions();
    void createView();
    void loadTexts();
    void updateLegend();
    void updateCommands();
    void refresh();
    void refreshTime();
    void refreshXY();
    void plotResized(int columns);
    void showReading(QPointF value);
    void showTimeReading(double seconds);
    void showXYReading(QPointF value);
    QString formatError() const;

    QString fileName_;
    QRect screen_;
    std::unique_ptr<GraphModel> model_;
    std::unique_ptr<GraphOverlay> overlay_;
    bool xy_ = false;
    GraphXY::Axes axes_;
    std::vector<QPointF> mainCloud_;  // the XY view's points, kept for the readout
    std::vector<QPointF> overlayCloud_;
    int columns_ = 0;  // pixel columns of the last refresh
};
