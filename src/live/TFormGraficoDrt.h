#pragma once

#include <QDialog>
#include <QList>
#include <QRect>
#include <functional>
#include <memory>

#include "GraphModel.h"

class GraphView;
class QAction;
class QChart;
class QLineSeries;
class QMenu;
class QMenuBar;
class QPrinter;
class QValueAxis;

// The graph of an acquisition file: one line per recorded quantity against time, zoomed by
// dragging across the plot, with the traces dialog, printing, the values under the mouse and
// an export of the recording as comma-separated values. Only what a pixel column can show of
// each trace is handed to the chart, so hours of recording redraw as fast as a few seconds.
class TFormGraficoDrt : public QDialog {
    Q_OBJECT
  public:
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

    void ActionTracceExecute();
    void ActionStampaExecute();
    void ActionAnnullaZoomExecute();
    void ActionEsportaExecute();
    void ZoomTo(double from, double to);
    // Every copy asked for is a print job of its own. False when the printer refuses a job.
    bool Print(QPrinter& printer);
    // The print dialog; false when the user cancels. Tests set up the printer instead.
    std::function<bool(QPrinter&)> PrintSetup;

    QMenuBar* MenuBar;
    QMenu* MenuGrafico;
    QAction* ActionTracce;
    QAction* ActionStampa;
    QAction* ActionAnnullaZoom;
    QAction* ActionEsporta;
    QAction* ActionEsci;
    QChart* Chart;
    GraphView* View;
    QValueAxis* AxisX;
    QValueAxis* AxisY;
    QList<QLineSeries*> Series;  // one per trace of the file, in trace order

  private:
    void createActions();
    void createChart();
    void loadTexts();
    void fillSeries();
    void refresh();
    void plotAreaChanged();
    void showReading(double seconds);

    QString fileName_;
    QRect screen_;
    std::unique_ptr<GraphModel> model_;
    int columns_ = 0;  // pixel columns of the last refresh
};
