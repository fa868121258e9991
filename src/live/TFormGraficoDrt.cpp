#include "TFormGraficoDrt.h"

#include <QAction>
#include <QChart>
#include <QFileInfo>
#include <QLineSeries>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QVBoxLayout>
#include <QValueAxis>

#include "BusyCursor.h"
#include "Dialogs.h"
#include "GraphTraces.h"
#include "GraphView.h"
#include "Language.h"
#include "ScreenFont.h"
#include "ScreenScale.h"
#include "TFormGestioneTracce.h"

namespace {
constexpr int kLineWidth = 2;
constexpr int kTitlePixels = 13;
constexpr int kLabelPixels = 11;
const QColor kTitleColour(0, 0, 255);
const QColor kPanel(234, 234, 234);

QFont arial(int pixels) {
    return ScreenFont::Bold({QStringLiteral("Arial")}, QFont::SansSerif, pixels);
}

bool printDialog(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}
}  // namespace

TFormGraficoDrt::TFormGraficoDrt(const QString& fileName, QRect screen, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      fileName_(fileName),
      screen_(screen.isValid() ? screen : ScreenScale::PrimaryGeometry()) {
    setObjectName(QStringLiteral("FormGraficoDrt"));
    PrintSetup = [this](QPrinter& printer) { return printDialog(printer, this); };
    createActions();
    createChart();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(MenuBar);
    layout->addWidget(View);
    loadTexts();
}

TFormGraficoDrt::~TFormGraficoDrt() = default;

void TFormGraficoDrt::createActions() {
    MenuBar = new QMenuBar(this);
    MenuGrafico = MenuBar->addMenu(QStringLiteral("&Grafico"));
    MenuGrafico->setObjectName(QStringLiteral("MenuGrafico"));
    const auto add = [this](const char* name, const char* text, QKeySequence key) {
        auto* action = new QAction(QString::fromUtf8(text), this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(key);
        MenuGrafico->addAction(action);
        addAction(action);
        return action;
    };
    ActionTracce = add("ActionTracce", "&Gestione tracce", {});
    ActionEsporta = add("ActionEsporta", "&Esporta CSV...", {});
    ActionStampa = add("ActionStampa", "&Stampa", QKeySequence(Qt::CTRL | Qt::Key_P));
    ActionAnnullaZoom =
        add("ActionAnnullaZoom", "&Annulla zoom", QKeySequence(Qt::CTRL | Qt::Key_Z));
    ActionEsci = add("ActionEsci", "&Esci", QKeySequence(Qt::Key_Escape));
    connect(ActionTracce, &QAction::triggered, this, [this] { ActionTracceExecute(); });
    connect(ActionEsporta, &QAction::triggered, this, [this] { ActionEsportaExecute(); });
    connect(ActionStampa, &QAction::triggered, this, [this] { ActionStampaExecute(); });
    connect(ActionAnnullaZoom, &QAction::triggered, this, [this] { ActionAnnullaZoomExecute(); });
    connect(ActionEsci, &QAction::triggered, this, &QDialog::reject);
}

void TFormGraficoDrt::createChart() {
    const ScreenScale scale(screen_.width());
    Chart = new QChart();
    Chart->setBackgroundBrush(kPanel);
    Chart->setPlotAreaBackgroundBrush(Qt::white);
    Chart->setPlotAreaBackgroundVisible(true);
    Chart->setTitleFont(arial(scale(kTitlePixels)));
    Chart->setTitleBrush(kTitleColour);
    AxisX = new QValueAxis(Chart);
    AxisY = new QValueAxis(Chart);
    for (QValueAxis* axis : {AxisX, AxisY}) {
        axis->setLabelsFont(arial(scale(kLabelPixels)));
        axis->setLabelsBrush(Qt::black);
        axis->setTitleFont(arial(scale(kLabelPixels)));
    }
    Chart->addAxis(AxisX, Qt::AlignBottom);
    Chart->addAxis(AxisY, Qt::AlignLeft);
    for (int i = 0; i < GraphTraces::kCount; ++i) {
        auto* series = new QLineSeries(Chart);
        series->setObjectName(QStringLiteral("Series") + QString::number(i));
        series->setPen(QPen(GraphTraces::All()[i].colour, kLineWidth));
        Chart->addSeries(series);
        series->attachAxis(AxisX);
        series->attachAxis(AxisY);
        Series.append(series);
    }
    View = new GraphView(Chart, this);
    View->setRenderHint(QPainter::Antialiasing, false);
    connect(View, &GraphView::zoomRequested, this, &TFormGraficoDrt::ZoomTo);
    connect(View, &GraphView::cursorMoved, this, &TFormGraficoDrt::showReading);
    connect(Chart, &QChart::plotAreaChanged, this, &TFormGraficoDrt::plotAreaChanged);
}

void TFormGraficoDrt::loadTexts() {
    setWindowTitle(LoadTextOr(295, QStringLiteral("Grafico")));
    MenuGrafico->setTitle(LoadTextOr(297, MenuGrafico->title()));
    const std::pair<QAction*, int> actions[] = {{ActionTracce, 298},
                                                {ActionEsporta, 620},
                                                {ActionStampa, 25},
                                                {ActionAnnullaZoom, 299},
                                                {ActionEsci, 27}};
    for (const auto& [action, number] : actions)
        action->setText(LoadTextOr(number, action->text()));
    Chart->setTitle(LoadTextOr(313, QStringLiteral("Grafico dati in tempo reale")));
    AxisX->setTitleText(LoadTextOr(314, QStringLiteral("Tempo (s)")));
    for (int i = 0; i < Series.size(); ++i) Series[i]->setName(GraphTraces::Title(i));
}

bool TFormGraficoDrt::Load() {
    if (!QFileInfo::exists(fileName_)) return false;
    setWindowTitle(GraphModel::Caption(windowTitle(), fileName_));
    AcquisitionReader::Recording recording;
    {
        const BusyCursor busy;
        if (AcquisitionReader::Read(fileName_, recording) != AcquisitionReader::Result::Read) {
            Dialogs::current().error(
                windowTitle(), LoadTextOr(300, QStringLiteral("Formato del file non valido")));
            return false;
        }
    }
    model_ = std::make_unique<GraphModel>(std::move(recording));
    // A one-probe file has no second-probe traces at all.
    for (int i = GraphTraces::kCount - 1; i >= model_->TraceCount(); --i) {
        Chart->removeSeries(Series[i]);
        delete Series.takeAt(i);
    }
    refresh();
    return true;
}

void TFormGraficoDrt::Execute() {
    if (!Load()) return;
    setGeometry(screen_);  // the whole screen even where nothing maximises windows
    setWindowState(Qt::WindowMaximized);
    exec();
}

// The decimated points of the visible range and the value axis fitted to them.
void TFormGraficoDrt::refresh() {
    if (!model_) return;
    columns_ = std::max(1, int(Chart->plotArea().width()));
    const QList<QList<QPointF>> points = model_->Points(columns_);
    // The chart lays every line out again at each change of an axis: the old points go first,
    // as against the new axes they could lie millions of pixels away, which takes it minutes.
    for (QLineSeries* series : Series) series->clear();
    const GraphModel::Range visible = model_->Visible();
    const GraphModel::Range values = model_->ValueRange();
    AxisX->setRange(visible.from, visible.to);
    AxisY->setRange(values.from, values.to);
    for (int i = 0; i < Series.size(); ++i) {
        Series[i]->replace(points[i]);
        Series[i]->setVisible(model_->IsShown(i));
    }
    View->HideCursor();
}

void TFormGraficoDrt::plotAreaChanged() {
    if (int(Chart->plotArea().width()) != columns_) refresh();
}

void TFormGraficoDrt::ZoomTo(double from, double to) {
    if (!model_) return;
    model_->ZoomTo(from, to);
    refresh();
}

void TFormGraficoDrt::ActionAnnullaZoomExecute() {
    if (!model_) return;
    model_->UndoZoom();
    refresh();
}

void TFormGraficoDrt::showReading(double seconds) {
    const auto reading = model_ ? model_->ReadingAt(seconds) : std::nullopt;
    if (!reading) {
        View->HideCursor();
        return;
    }
    View->ShowCursor(seconds, GraphModel::ReadingHtml(*reading));
}

void TFormGraficoDrt::ActionTracceExecute() {
    if (!model_) return;
    QStringList titles;
    std::vector<bool> active;
    for (int i = 0; i < model_->TraceCount(); ++i) {
        titles.append(Series[i]->name());
        active.push_back(model_->IsShown(i));
    }
    TFormGestioneTracce dialog(titles, active, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const std::vector<bool> chosen = dialog.Active();
    for (int i = 0; i < model_->TraceCount(); ++i) model_->SetShown(i, chosen[size_t(i)]);
    refresh();
}

void TFormGraficoDrt::ActionStampaExecute() {
    QPrinter printer;
    if (!PrintSetup(printer) || Print(printer)) return;
    Dialogs::current().error(windowTitle(),
                             LoadTextOr(622, QStringLiteral("Impossibile stampare il grafico.")));
}

bool TFormGraficoDrt::Print(QPrinter& printer) {
    const int copies = std::max(1, printer.copyCount());
    printer.setCopyCount(1);
    View->HideCursor();
    for (int copy = 0; copy < copies; ++copy) {
        QPainter painter;
        if (!painter.begin(&printer)) return false;
        View->render(&painter, painter.viewport(), View->viewport()->rect());
        if (!painter.end()) return false;
    }
    return true;
}

void TFormGraficoDrt::ActionEsportaExecute() {
    if (!model_) return;
    Dialogs::FileRequest request;
    request.title = ActionEsporta->text().remove(u'&');
    request.folder = QFileInfo(fileName_).absolutePath();
    request.filter = QStringLiteral("CSV (*.csv)");
    request.defaultSuffix = QStringLiteral("csv");
    const QString path = Dialogs::current().saveFileName(request);
    if (path.isEmpty() || model_->ExportCsv(path)) return;
    Dialogs::current().error(
        windowTitle(),
        LoadTextOr(621, QStringLiteral("Impossibile scrivere il file CSV:")) + u'\n' + path);
}
