#include "TFormGraficoDrt.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QVBoxLayout>
#include <algorithm>

#include "AxisTicks.h"
#include "BusyCursor.h"
#include "Dialogs.h"
#include "GraphTraces.h"
#include "GraphView.h"
#include "Language.h"
#include "ScreenFont.h"
#include "ScreenScale.h"
#include "TFormAssiXY.h"
#include "TFormGestioneTracce.h"
#include "TFormSpostamento.h"

const QColor TFormGraficoDrt::kMainCloud(0, 0, 160);
const QColor TFormGraficoDrt::kOverlayCloud(255, 128, 0);

namespace {
constexpr int kTitlePixels = 13;
constexpr int kLabelPixels = 11;
const QColor kTitleColour(0, 0, 255);

QFont arial(int pixels) {
    return ScreenFont::Bold({QStringLiteral("Arial")}, QFont::SansSerif, pixels);
}

bool printDialog(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

QString plain(const QAction* action) {
    return action->text().remove(u'&').remove(QStringLiteral("..."));
}

QString baseName(const QString& path) { return QFileInfo(path).completeBaseName(); }

std::optional<GraphData::YRange> joined(std::optional<GraphData::YRange> a,
                                        std::optional<GraphData::YRange> b) {
    if (!a) return b;
    if (!b) return a;
    return GraphData::YRange{std::min(a->low, b->low), std::max(a->high, b->high)};
}

// "+1.50 s", "-0.20 s": the shift as the readout shows it.
QString signedSeconds(double seconds) {
    return (seconds >= 0 ? QStringLiteral("+") : QString()) +
           QString::number(seconds, 'f', 2) + QStringLiteral(" s");
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
    createView();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(MenuBar);
    layout->addWidget(View);
    loadTexts();
    updateCommands();
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
    ActionConfronta =
        add("ActionConfronta", "&Confronta con...", QKeySequence(Qt::CTRL | Qt::Key_O));
    ActionSpostamento =
        add("ActionSpostamento", "&Spostamento confronto...", QKeySequence(Qt::CTRL | Qt::Key_T));
    ActionIndietro =
        add("ActionIndietro", "Confronto &indietro", QKeySequence(Qt::CTRL | Qt::Key_Left));
    ActionAvanti = add("ActionAvanti", "Confronto &avanti", QKeySequence(Qt::CTRL | Qt::Key_Right));
    ActionVistaXY = add("ActionVistaXY", "Vista &XY", QKeySequence(Qt::CTRL | Qt::Key_Y));
    ActionVistaXY->setCheckable(true);
    ActionAssiXY = add("ActionAssiXY", "Assi X&Y...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Y));
    MenuGrafico->addSeparator();
    ActionEsporta = add("ActionEsporta", "&Esporta CSV...", {});
    ActionStampa = add("ActionStampa", "&Stampa", QKeySequence(Qt::CTRL | Qt::Key_P));
    ActionAnnullaZoom =
        add("ActionAnnullaZoom", "&Annulla zoom", QKeySequence(Qt::CTRL | Qt::Key_Z));
    ActionEsci = add("ActionEsci", "&Esci", QKeySequence(Qt::Key_Escape));
    connect(ActionTracce, &QAction::triggered, this, [this] { ActionTracceExecute(); });
    connect(ActionConfronta, &QAction::triggered, this, [this] { ActionConfrontaExecute(); });
    connect(ActionSpostamento, &QAction::triggered, this, [this] { ActionSpostamentoExecute(); });
    connect(ActionIndietro, &QAction::triggered, this, [this] { ShiftOverlay(-ShiftStep()); });
    connect(ActionAvanti, &QAction::triggered, this, [this] { ShiftOverlay(ShiftStep()); });
    connect(ActionVistaXY, &QAction::triggered, this, [this] { ActionVistaXYExecute(); });
    connect(ActionAssiXY, &QAction::triggered, this, [this] { ActionAssiXYExecute(); });
    connect(ActionEsporta, &QAction::triggered, this, [this] { ActionEsportaExecute(); });
    connect(ActionStampa, &QAction::triggered, this, [this] { ActionStampaExecute(); });
    connect(ActionAnnullaZoom, &QAction::triggered, this, [this] { ActionAnnullaZoomExecute(); });
    connect(ActionEsci, &QAction::triggered, this, &QDialog::reject);
}

void TFormGraficoDrt::createView() {
    const ScreenScale scale(screen_.width());
    View = new GraphView(this);
    View->SetLabelFont(arial(scale(kLabelPixels)));
    connect(View, &GraphView::zoomRequested, this, &TFormGraficoDrt::ZoomTo);
    connect(View, &GraphView::cursorMoved, this, &TFormGraficoDrt::showReading);
    connect(View, &GraphView::plotResized, this, &TFormGraficoDrt::plotResized);
}

void TFormGraficoDrt::loadTexts() {
    const ScreenScale scale(screen_.width());
    setWindowTitle(LoadTextOr(295, QStringLiteral("Grafico")));
    MenuGrafico->setTitle(LoadTextOr(297, MenuGrafico->title()));
    const std::pair<QAction*, int> actions[] = {
        {ActionTracce, 298},     {ActionConfronta, 700}, {ActionSpostamento, 701},
        {ActionIndietro, 702},   {ActionAvanti, 703},    {ActionVistaXY, 704},
        {ActionAssiXY, 705},     {ActionEsporta, 620},   {ActionStampa, 25},
        {ActionAnnullaZoom, 299}, {ActionEsci, 27}};
    for (const auto& [action, number] : actions)
        action->setText(LoadTextOr(number, action->text()));
    View->SetTitle(LoadTextOr(313, QStringLiteral("Grafico dati in tempo reale")),
                   arial(scale(kTitlePixels)), kTitleColour);
}

QString TFormGraficoDrt::formatError() const {
    return LoadTextOr(300, QStringLiteral("Formato del file non valido"));
}

bool TFormGraficoDrt::Load() {
    if (!QFileInfo::exists(fileName_)) return false;
    setWindowTitle(GraphModel::Caption(windowTitle(), fileName_));
    AcquisitionReader::Recording recording;
    {
        const BusyCursor busy;
        if (AcquisitionReader::Read(fileName_, recording) != AcquisitionReader::Result::Read) {
            Dialogs::current().error(windowTitle(), formatError());
            return false;
        }
    }
    model_ = std::make_unique<GraphModel>(std::move(recording));
    updateLegend();
    updateCommands();
    refresh();
    return true;
}

void TFormGraficoDrt::Execute() {
    if (!Load()) return;
    setGeometry(screen_);  // the whole screen even where nothing maximises windows
    setWindowState(Qt::WindowMaximized);
    exec();
}

void TFormGraficoDrt::updateLegend() {
    QList<GraphView::LegendEntry> legend;
    if (!model_) return View->SetLegend(legend);
    if (xy_) {
        legend.append({baseName(fileName_), kMainCloud});
        if (overlay_) legend.append({overlay_->Name(), kOverlayCloud});
        return View->SetLegend(legend);
    }
    for (int i = 0; i < model_->TraceCount(); ++i) {
        if (model_->IsShown(i) && model_->HasPoints(i))
            legend.append({GraphTraces::Title(i), GraphTraces::All()[size_t(i)].colour});
    }
    if (overlay_) {
        legend.append({baseName(fileName_), Qt::black});
        legend.append({overlay_->Name() + QStringLiteral(" (") +
                           signedSeconds(overlay_->Offset()) + u')',
                       Qt::black, true});
    }
    View->SetLegend(legend);
}

void TFormGraficoDrt::updateCommands() {
    const bool compared = overlay_ != nullptr;
    for (QAction* action : {ActionSpostamento, ActionIndietro, ActionAvanti})
        action->setEnabled(compared && !xy_);
    ActionAnnullaZoom->setEnabled(!xy_);
    ActionVistaXY->setChecked(xy_);
}

void TFormGraficoDrt::refresh() {
    if (!model_) return;
    if (xy_)
        refreshXY();
    else
        refreshTime();
    View->HideCursor();
}

// The decimated points of the visible range, the compared recording's dashed over them, and
// the value axis fitted to both.
void TFormGraficoDrt::refreshTime() {
    columns_ = std::max(1, View->PlotArea().width());
    const GraphModel::Range visible = model_->Visible();
    auto values = model_->ValuesIn(visible);
    QList<GraphView::Line> lines;
    const QList<QList<QPointF>> points = model_->Points(columns_);
    for (int i = 0; i < points.size(); ++i)
        lines.append({points[i], GraphTraces::All()[size_t(i)].colour});
    if (overlay_) {
        values = joined(values, overlay_->ValuesIn(visible));
        const QList<QList<QPointF>> compared = overlay_->Points(visible, columns_);
        for (int i = 0; i < compared.size(); ++i)
            lines.append({compared[i], GraphTraces::All()[size_t(i)].colour, true});
    }
    const GraphModel::Range y = GraphModel::Fit(values);
    View->SetZoomable(true);
    View->SetAxes({visible.from, visible.to, LoadTextOr(314, QStringLiteral("Tempo (s)"))},
                  {y.from, y.to, QString()});
    View->SetLines(std::move(lines));
}

void TFormGraficoDrt::refreshXY() {
    mainCloud_ = GraphXY::Points(*model_, axes_);
    overlayCloud_ = overlay_ ? GraphXY::Points(overlay_->Model(), axes_) : std::vector<QPointF>();
    const auto bounds = GraphXY::BoundsOf({&mainCloud_, &overlayCloud_});
    const GraphXY::Bounds b = bounds.value_or(GraphXY::Bounds{{0, 1}, {0, 1}});
    View->SetZoomable(false);
    View->SetAxes({b.x.from, b.x.to, GraphTraces::Name(axes_.x)},
                  {b.y.from, b.y.to, GraphTraces::Name(axes_.y)});
    View->SetClouds({{mainCloud_, kMainCloud}, {overlayCloud_, kOverlayCloud}});
}

void TFormGraficoDrt::plotResized(int columns) {
    if (columns != columns_ && !xy_) refresh();
}

void TFormGraficoDrt::ZoomTo(double from, double to) {
    if (!model_ || xy_) return;
    model_->ZoomTo(from, to);
    refresh();
}

void TFormGraficoDrt::ActionAnnullaZoomExecute() {
    if (!model_ || xy_) return;
    model_->UndoZoom();
    refresh();
}

void TFormGraficoDrt::showReading(QPointF value) {
    if (!model_) return;
    if (xy_)
        showXYReading(value);
    else
        showTimeReading(value.x());
}

// Both recordings at the time under the mouse, the compared one with its shift.
void TFormGraficoDrt::showTimeReading(double seconds) {
    const auto reading = model_->ReadingAt(seconds);
    const auto compared = overlay_ ? overlay_->ReadingAt(seconds) : std::nullopt;
    if (!reading && !compared) return View->HideCursor();
    QString html;
    // With two drives each heading names its recording.
    if (reading)
        html = GraphModel::ReadingHtml(
            *reading, overlay_ ? baseName(fileName_) + QStringLiteral(": ") +
                                     QString::number(reading->seconds, 'f', 3) + QStringLiteral(" s")
                               : QString());
    if (compared) {
        const QString heading = overlay_->Name() + QStringLiteral(" (") +
                                signedSeconds(overlay_->Offset()) + QStringLiteral("): ") +
                                QString::number(compared->seconds, 'f', 3) + QStringLiteral(" s");
        if (!html.isEmpty()) html += QStringLiteral("<br>");
        html += GraphModel::ReadingHtml(*compared, heading);
    }
    View->ShowCursor({seconds, 0}, html);
}

// The point nearest to the mouse, of either recording, with its time and both values.
void TFormGraficoDrt::showXYReading(QPointF value) {
    const QRect plot = View->PlotArea();
    const double xPerPixel = (View->XAxis().to - View->XAxis().from) / std::max(1, plot.width());
    const double yPerPixel = (View->YAxis().to - View->YAxis().from) / std::max(1, plot.height());
    const int main = GraphXY::Nearest(mainCloud_, value, xPerPixel, yPerPixel);
    const int other = GraphXY::Nearest(overlayCloud_, value, xPerPixel, yPerPixel);
    auto distance = [&](const std::vector<QPointF>& cloud, int i) {
        const double dx = (cloud[size_t(i)].x() - value.x()) / xPerPixel;
        const double dy = (cloud[size_t(i)].y() - value.y()) / yPerPixel;
        return dx * dx + dy * dy;
    };
    const bool useOther =
        other >= 0 && (main < 0 || distance(overlayCloud_, other) < distance(mainCloud_, main));
    if (main < 0 && !useOther) return View->HideCursor();
    const std::vector<QPointF>& cloud = useOther ? overlayCloud_ : mainCloud_;
    const int index = useOther ? other : main;
    const GraphModel& model = useOther ? overlay_->Model() : *model_;
    const QPointF point = cloud[size_t(index)];
    const QString name = useOther ? overlay_->Name() : baseName(fileName_);
    const QColor colour = useOther ? kOverlayCloud : kMainCloud;
    const double seconds = model.Records()[size_t(index)].time * 0.001;
    const QString html =
        QStringLiteral("<b><span style=\"color:%1\">&#9632;</span> %2: %3 s</b><br>%4: %5<br>%6: %7")
            .arg(colour.name(), name.toHtmlEscaped(), QString::number(seconds, 'f', 3),
                 GraphTraces::Name(axes_.x).toHtmlEscaped(), GraphTraces::Text(axes_.x, point.x()),
                 GraphTraces::Name(axes_.y).toHtmlEscaped(), GraphTraces::Text(axes_.y, point.y()));
    View->ShowCursor(point, html);
}

void TFormGraficoDrt::ActionTracceExecute() {
    if (!model_) return;
    QStringList titles;
    std::vector<bool> active;
    for (int i = 0; i < model_->TraceCount(); ++i) {
        titles.append(GraphTraces::Title(i));
        active.push_back(model_->IsShown(i));
    }
    TFormGestioneTracce dialog(titles, active, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const std::vector<bool> chosen = dialog.Active();
    for (int i = 0; i < model_->TraceCount(); ++i) {
        model_->SetShown(i, chosen[size_t(i)]);
        if (overlay_ && i < overlay_->Model().TraceCount())
            overlay_->Model().SetShown(i, chosen[size_t(i)]);
    }
    updateLegend();
    refresh();
}

void TFormGraficoDrt::ActionConfrontaExecute() {
    if (!model_) return;
    Dialogs::FileRequest request;
    request.title = plain(ActionConfronta);
    request.folder = QFileInfo(fileName_).absolutePath();
    request.filter =
        LoadTextOr(234, QStringLiteral("Acquisizioni in tempo reale")) + QStringLiteral(" (*.txt)");
    const QString chosen = Dialogs::current().openFileName(request);
    if (!chosen.isEmpty()) Compare(chosen);
}

bool TFormGraficoDrt::Compare(const QString& fileName) {
    if (!model_ || !QFileInfo::exists(fileName)) return false;
    AcquisitionReader::Recording recording;
    {
        const BusyCursor busy;
        if (AcquisitionReader::Read(fileName, recording) != AcquisitionReader::Result::Read) {
            Dialogs::current().error(windowTitle(), formatError());
            return false;
        }
    }
    auto model = std::make_unique<GraphModel>(std::move(recording));
    for (int i = 0; i < std::min(model->TraceCount(), model_->TraceCount()); ++i)
        model->SetShown(i, model_->IsShown(i));
    overlay_ = std::make_unique<GraphOverlay>(std::move(model), baseName(fileName), model_->Start());
    updateLegend();
    updateCommands();
    refresh();
    return true;
}

double TFormGraficoDrt::ShiftStep() const {
    if (!model_) return 0;
    const GraphModel::Range visible = model_->Visible();
    return AxisTicks::Step(0, visible.to - visible.from, kShiftSteps);
}

void TFormGraficoDrt::ShiftOverlay(double seconds) {
    if (!overlay_ || xy_) return;
    overlay_->ShiftBy(seconds);
    updateLegend();
    refresh();
}

void TFormGraficoDrt::ActionSpostamentoExecute() {
    if (!overlay_ || xy_) return;
    TFormSpostamento dialog(plain(ActionSpostamento), overlay_->Offset(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    overlay_->SetOffset(*dialog.Seconds());
    updateLegend();
    refresh();
}

void TFormGraficoDrt::ActionVistaXYExecute() {
    if (!model_) return;
    xy_ = !xy_;
    updateLegend();
    updateCommands();
    refresh();
}

void TFormGraficoDrt::ActionAssiXYExecute() {
    if (!model_) return;
    std::vector<int> traces;
    QStringList names;
    for (int i = 0; i < model_->TraceCount(); ++i) {
        if (!model_->HasPoints(i)) continue;
        traces.push_back(i);
        names.append(GraphTraces::Name(i));
    }
    TFormAssiXY dialog(plain(ActionAssiXY), traces, names, axes_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    SetXYAxes(dialog.Axes());
}

void TFormGraficoDrt::SetXYAxes(GraphXY::Axes axes) {
    axes_ = axes;
    if (!xy_) {
        xy_ = true;
        updateLegend();
        updateCommands();
    }
    refresh();
}

void TFormGraficoDrt::ActionStampaExecute() {
    QPrinter printer;
    if (!PrintSetup(printer) || Print(printer)) return;
    Dialogs::current().error(windowTitle(),
                             LoadTextOr(622, QStringLiteral("Impossibile stampare il grafico.")));
}

// The graph as the screen shows it, scaled to the page keeping its proportions.
bool TFormGraficoDrt::Print(QPrinter& printer) {
    const int copies = std::max(1, printer.copyCount());
    printer.setCopyCount(1);
    View->HideCursor();
    for (int copy = 0; copy < copies; ++copy) {
        QPainter painter;
        if (!painter.begin(&printer)) return false;
        const QRect page = painter.viewport();
        const double scale = std::min(double(page.width()) / std::max(1, View->width()),
                                      double(page.height()) / std::max(1, View->height()));
        painter.scale(scale, scale);
        View->Render(painter);
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
