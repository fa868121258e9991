#include "TFormVisualizza.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>

#include "Catalogue.h"
#include "Clock.h"
#include "DialView.h"
#include "Dialogs.h"
#include "FuelLamp.h"
#include "GraphTraces.h"
#include "GraphView.h"
#include "Language.h"
#include "LiveBlock.h"
#include "LiveText.h"
#include "ScreenFont.h"
#include "ScreenScale.h"
#include "ShapeBar.h"
#include "SwitchPicture.h"
#include "TFormGraficoDrt.h"
#include "TStreamDati.h"
#include "ThermometerBar.h"
#include "ThermometerView.h"

const QColor TFormVisualizza::kLean(0, 128, 0);
const QColor TFormVisualizza::kRich(255, 0, 0);

namespace {
constexpr int kFontPixels = 21;
constexpr int kSpeedPixels = 30;
constexpr int kLambdaTypeCode = 4;       // position of TipoDiLambda in the type table
constexpr int kLambdaReferenceCode = 5;  // RifLambda, volts, read from the ECU first
constexpr int kMapOption = 13;
constexpr int kInvertedBit = 0x01;  // of the raw TipoDiLambda
const QColor kPurple(128, 0, 128);
const QColor kFuchsia(255, 0, 255);
const QColor kMapBlue(0, 0, 255);
const QColor kGasLamp(40, 220, 40);
const QColor kPetrolLamp(255, 176, 0);
const QString kAcquisitionFolder = QStringLiteral("Acquisition");

// The thermometer's scale: the lines of 0 and 100 degrees in its group.
constexpr int kZeroLine = 290;
constexpr int kHundredLine = 60;
constexpr int kCaptionHalf = 12;

QFont formFont(int pixels) {
    return ScreenFont::Bold({QStringLiteral("Arial")}, QFont::SansSerif, pixels);
}

void setColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}
}  // namespace

TFormVisualizza::TFormVisualizza(TStreamDati& data, const QString& baseDirectory, QRect screen,
                                 QWidget* parent)
    : QDialog(parent),
      data_(data),
      screen_(screen.isValid() ? screen : ScreenScale::PrimaryGeometry()),
      reader_(data, [this] { showLinkLost(); }),
      recorder_(QDir(baseDirectory).filePath(kAcquisitionFolder)),
      lambda_(static_cast<int>(data.GetValue(kLambdaTypeCode)),
              (data.Store().value(Catalogue::kLambdaType) & kInvertedBit) != 0,
              data.GetValue(kLambdaReferenceCode)),
      secondProbe_(LiveBlock::SecondProbe(data)),
      showMap_(data.GetOption(kMapOption) != 0) {
    setObjectName(QStringLiteral("FormVisualizza"));
    setWindowTitle(QStringLiteral("Visualizzazione parametri vettura"));
    createActions();
    createLayout();
    loadTexts();
    GroupMap->setVisible(showMap_);
    GroupLambda2->setVisible(secondProbe_);

    Timer1 = new QTimer(this);
    Timer1->setInterval(kPollMs);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start();
}

TFormVisualizza::~TFormVisualizza() = default;

void TFormVisualizza::createActions() {
    MenuAcquisizioni = new QMenu(QStringLiteral("&Acquisizioni"), this);
    MenuAcquisizioni->setObjectName(QStringLiteral("MenuAcquisizioni"));
    const auto add = [this](const char* name, const char* text, QKeyCombination key) {
        auto* action = new QAction(QString::fromUtf8(text), this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(QKeySequence(key));
        MenuAcquisizioni->addAction(action);
        addAction(action);  // the menu is never shown: its keys work on the window
        return action;
    };
    ActionInizia = add("ActionInizia", "&Inizia salvataggio", Qt::CTRL | Qt::Key_F5);
    ActionTermina = add("ActionTermina", "&Termina salvataggio", Qt::CTRL | Qt::Key_F6);
    ActionGrafico = add("ActionGrafico", "&Visualizza grafico", Qt::CTRL | Qt::Key_F8);
    ActionScorrevole = add("ActionScorrevole", "Grafico &scorrevole", Qt::CTRL | Qt::Key_F7);
    ActionScorrevole->setCheckable(true);
    ActionTermina->setEnabled(false);
    connect(ActionInizia, &QAction::triggered, this, [this] { ActionIniziaExecute(); });
    connect(ActionTermina, &QAction::triggered, this, [this] { ActionTerminaExecute(); });
    connect(ActionGrafico, &QAction::triggered, this, [this] { ActionGraficoExecute(); });
    connect(ActionScorrevole, &QAction::triggered, this, [this] { ActionScorrevoleExecute(); });
}

QGroupBox* TFormVisualizza::group(const QRect& design, int text, const char* fallback,
                                  const char* name) {
    const ScreenScale scale(screen_.width());
    auto* box =
        new QGroupBox(fallback ? LoadTextOr(text, QString::fromUtf8(fallback)) : QString(), this);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(scale(design));
    return box;
}

QLabel* TFormVisualizza::label(QWidget* parent, const QRect& design, const QString& text,
                               const char* name, Qt::Alignment alignment) {
    const ScreenScale scale(screen_.width());
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(scale(design));
    l->setAlignment(alignment);
    return l;
}

TFormVisualizza::Probe TFormVisualizza::probe(const QRect& design, int text, const char* fallback,
                                              const QString& suffix) {
    const ScreenScale scale(screen_.width());
    Probe p;
    p.group = group(design, text, fallback, ("GroupLambda" + suffix).toLatin1().constData());
    p.panel = new QFrame(p.group);
    p.panel->setObjectName(QStringLiteral("PanelLambda") + suffix);
    p.panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    p.panel->setLineWidth(1);
    p.panel->setGeometry(scale(QRect(12, 34, 216, 22)));
    p.bar = new ShapeBar(palette().color(QPalette::Button), QColor(), p.panel);
    p.bar->setObjectName(QStringLiteral("ShapeLambda") + suffix);
    p.bar->setGeometry(1, 1, 0, p.panel->height() - 2);
    const QFont small = formFont(scale(16));
    // The scale's ends under the bar, in the locale's general notation.
    label(p.group, QRect(12, 58, 90, 22), LiveText::General(lambda_.Minimum()), "LabelMinimo",
          Qt::AlignLeft | Qt::AlignVCenter)
        ->setFont(small);
    label(p.group, QRect(138, 58, 90, 22), LiveText::General(lambda_.Maximum()), "LabelMassimo",
          Qt::AlignRight | Qt::AlignVCenter)
        ->setFont(small);
    p.value = label(p.group, QRect(12, 82, 216, 30), QString(), "LabelLambda");
    p.value->setObjectName(QStringLiteral("LabelLambda") + suffix);
    return p;
}

void TFormVisualizza::createLayout() {
    const ScreenScale scale(screen_.width());
    setFont(formFont(scale(kFontPixels)));
    // Maximised; the geometry also holds where no window manager maximises.
    setGeometry(screen_);
    setWindowState(Qt::WindowMaximized);

    // Left column: the thermometer and the fuel lamps.
    QGroupBox* temperature = group(QRect(8, 8, 190, 370), 0, nullptr, "GroupTemperatura");
    Thermometer = new ThermometerView(temperature);
    Thermometer->setGeometry(scale(QRect(20, 24, 70, 330)));
    QLabel* top = label(temperature, QRect(96, kHundredLine - kCaptionHalf, 70, 24),
                        QStringLiteral("100"), "LabelTemp100", Qt::AlignLeft | Qt::AlignVCenter);
    label(temperature, QRect(96, (kZeroLine + kHundredLine) / 2 - kCaptionHalf, 70, 24),
          QStringLiteral("50"), "LabelTemp50", Qt::AlignLeft | Qt::AlignVCenter);
    QLabel* zero = label(temperature, QRect(96, kZeroLine - kCaptionHalf, 70, 24),
                         QStringLiteral("0"), "LabelTemp0", Qt::AlignLeft | Qt::AlignVCenter);
    Thermometer->SetScale(scale(kZeroLine) - Thermometer->y(),
                          scale(kHundredLine) - Thermometer->y());
    barFull_ = zero->y() - top->y();
    barBottom_ = scale(kZeroLine);
    const QRect bore = Thermometer->Bore().translated(Thermometer->pos());
    ShapeTemp = new ShapeBar(kPurple, kFuchsia, temperature);
    ShapeTemp->setObjectName(QStringLiteral("ShapeTemp"));
    ShapeTemp->setGeometry(bore.left(), barBottom_, bore.width(), 0);
    LabelTemp = label(temperature, QRect(10, 334, 170, 30), QString(), "LabelTemp");

    QGroupBox* fuel = group(QRect(8, 386, 190, 114), 0, nullptr, "GroupCarburante");
    LampGas = new FuelLamp(kGasLamp, fuel);
    LampGas->setObjectName(QStringLiteral("LampGas"));
    LampGas->setGeometry(scale(QRect(14, 22, 56, 56)));
    auto* lever = new SwitchPicture(fuel);
    lever->setGeometry(scale(QRect(80, 28, 30, 46)));
    LampBenzina = new FuelLamp(kPetrolLamp, fuel);
    LampBenzina->setObjectName(QStringLiteral("LampBenzina"));
    LampBenzina->setGeometry(scale(QRect(120, 22, 56, 56)));
    label(fuel, QRect(14, 80, 56, 26), QStringLiteral("G"), "LabelG");

    // Centre column: the rev counter, the MAP pressure, the gas injection time.
    QGroupBox* speed = group(QRect(206, 8, 336, 330), 0, nullptr, "GroupGiri");
    Dial = new DialView(speed);
    Dial->setObjectName(QStringLiteral("Dial"));
    Dial->setGeometry(scale(QRect(18, 18, 300, 252)));
    createRollingChart(speed, QRect(6, 18, 324, 252));
    LabelGiri = label(speed, QRect(88, 276, 160, 46), LiveText::Speed(0), "LabelGiri");
    LabelGiri->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    LabelGiri->setLineWidth(2);
    LabelGiri->setAutoFillBackground(true);
    setColour(LabelGiri, QPalette::Window, Qt::black);
    setColour(LabelGiri, QPalette::WindowText, QColor(255, 48, 32));
    QFont digits(QStringLiteral("DSEG7 Classic"));
    digits.setPixelSize(scale(kSpeedPixels));
    LabelGiri->setFont(digits);

    GroupMap = group(QRect(206, 346, 336, 90), 218, "MAP", "GroupMap");
    auto* mapPanel = new QFrame(GroupMap);
    mapPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    mapPanel->setGeometry(scale(QRect(12, 32, 190, 22)));
    auto* mapBar = new ShapeBar(kMapBlue, QColor(), mapPanel);
    mapBar->setGeometry(1, 1, mapPanel->width() / 2, mapPanel->height() - 2);
    const QFont small = formFont(scale(16));
    const std::pair<int, const char*> mapScale[] = {{4, "-1"}, {96, "0"}, {186, "1"}};
    for (const auto& [x, text] : mapScale)
        label(GroupMap, QRect(x - 12, 56, 24, 22), QString::fromLatin1(text), "LabelScalaMap")
            ->setFont(small);
    LabelMap = label(GroupMap, QRect(208, 30, 120, 30), QString(), "LabelMap",
                     Qt::AlignRight | Qt::AlignVCenter);

    GroupTinjGas = group(QRect(206, 444, 336, 56), 221, "Tinj.gas", "GroupTinjGas");
    LabelTinjGas = label(GroupTinjGas, QRect(130, 22, 196, 28), QString(), "LabelTinjGas",
                         Qt::AlignRight | Qt::AlignVCenter);

    // Right column: the gas pressure, the lambda probes, the petrol injection time.
    GroupPressione = group(QRect(550, 8, 240, 80), 222, "Pressione", "GroupPressione");
    LabelPressione = label(GroupPressione, QRect(12, 34, 216, 34), QString(), "LabelPressione");
    probe2_ = probe(QRect(550, 96, 240, 120), 248, "Lambda 2", QStringLiteral("2"));
    probe1_ = probe(QRect(550, 224, 240, 120), 217, "Lambda", QString());
    GroupLambda = probe1_.group;
    PanelLambda = probe1_.panel;
    ShapeLambda = probe1_.bar;
    LabelLambda = probe1_.value;
    GroupLambda2 = probe2_.group;
    PanelLambda2 = probe2_.panel;
    ShapeLambda2 = probe2_.bar;
    LabelLambda2 = probe2_.value;
    GroupTinjBenz = group(QRect(550, 444, 240, 56), 224, "Tinj.benz", "GroupTinjBenz");
    LabelTinjBenz = label(GroupTinjBenz, QRect(50, 22, 180, 28), QString(), "LabelTinjBenz",
                          Qt::AlignRight | Qt::AlignVCenter);

    ButtonEsci = new QPushButton(QStringLiteral("&Esci"), this);
    ButtonEsci->setObjectName(QStringLiteral("ButtonEsci"));
    ButtonEsci->setGeometry(scale(QRect(349, 516, 100, 40)));
    ButtonEsci->setAutoDefault(false);
    connect(ButtonEsci, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormVisualizza::loadTexts() {
    MenuAcquisizioni->setTitle(LoadTextOr(111, MenuAcquisizioni->title()));
    const std::pair<QAction*, int> actions[] = {
        {ActionInizia, 113}, {ActionTermina, 114}, {ActionGrafico, 115}, {ActionScorrevole, 710}};
    for (const auto& [action, number] : actions)
        action->setText(LoadTextOr(number, action->text()));
    setWindowTitle(LoadTextOr(247, windowTitle()));
    ButtonEsci->setText(LoadTextOr(252, ButtonEsci->text()));
    volts_ = LoadTextOr(122, QStringLiteral("V"));
    degrees_ = LoadTextOr(123, QStringLiteral("°C"));
    bar_ = LoadTextOr(125, QStringLiteral("bar"));
    ms_ = LoadTextOr(127, QStringLiteral("ms"));
}

void TFormVisualizza::Timer1Timer() {
    // A message of this screen holds the next ticks back until it is answered.
    if (inTick_) return;
    const QScopedValueRollback busy(inTick_, true);
    switch (reader_.Tick()) {
        case LiveDataReader::Outcome::Block:
            ShowValues(reader_.Values());
            break;
        case LiveDataReader::Outcome::NoLink:
            Dial->DrawNeedle(speed_);
            break;
        case LiveDataReader::Outcome::LinkLost:
        case LiveDataReader::Outcome::HeldBack:
            break;
    }
}

void TFormVisualizza::ShowValues(const LiveValues& v) {
    previousSpeed_ = speed_;
    speed_ = v.rpm;
    pressure_.Add(v.pressure);
    LabelGiri->setText(LiveText::Speed(speed_));
    Dial->MoveNeedle(previousSpeed_, speed_);
    LabelPressione->setText(LiveText::Fixed(pressure_.Mean() * 0.01, 3, 2) + bar_);
    showTemperature(v.t1);
    LampGas->SetLit(v.onGas());
    LampBenzina->SetLit(!v.onGas());
    showProbe(probe1_, v.lambda1, v.lambda1On());
    if (secondProbe_) showProbe(probe2_, v.lambda2, v.lambda2On());
    if (showMap_) LabelMap->setText(LiveText::Fixed(v.mapBar, 3, 2) + bar_);
    LabelTinjGas->setText(LiveText::Fixed(v.gasMs1, 4, 2) + ms_);
    LabelTinjBenz->setText(LiveText::Fixed(v.petrolMs1, 4, 2) + ms_);
    rolling_.Add(Clock::current().nowMs(), RollingWindow::ValuesOf(v));
    if (!ChartScorrevole->isHidden()) drawRollingChart();
    if (recorder_.IsRecording() &&
        !recorder_.Append(AcquisitionRecorder::RecordOf(v, pressure_.Mean()), windowTitle()))
        updateCommands();
}

void TFormVisualizza::showTemperature(double degrees) {
    const int height = ThermometerBar::Height(degrees, barFull_);
    ShapeTemp->setGeometry(ShapeTemp->x(), barBottom_ - height, ShapeTemp->width(), height);
    LabelTemp->setText(LiveText::Whole(degrees) + degrees_);
}

void TFormVisualizza::showProbe(const Probe& probe, double volts, bool statusOn) {
    const int full = probe.panel->width() - 2;
    probe.bar->resize(lambda_.BarWidth(volts, full), probe.bar->height());
    switch (lambda_.ShadeOf(volts, statusOn)) {
        case LambdaDisplay::Shade::ButtonFace:
            probe.bar->SetFill(palette().color(QPalette::Button));
            break;
        case LambdaDisplay::Shade::Green:
            probe.bar->SetFill(kLean);
            break;
        case LambdaDisplay::Shade::Red:
            probe.bar->SetFill(kRich);
            break;
    }
    probe.value->setText(LiveText::Fixed(volts, 3, 2) + volts_);
}

void TFormVisualizza::showLinkLost() {
    Dialogs::current().error(
        windowTitle(),
        LoadTextOr(44, QStringLiteral("La centralina è disconnessa poichè non risponde "
                                      "correttamente. \nImpossibile connettersi.")));
}

void TFormVisualizza::updateCommands() {
    ActionInizia->setEnabled(!recorder_.IsRecording());
    ActionTermina->setEnabled(recorder_.IsRecording());
}

void TFormVisualizza::ActionIniziaExecute() {
    recorder_.Start(windowTitle(), secondProbe_);
    updateCommands();
}

void TFormVisualizza::ActionTerminaExecute() {
    recorder_.Stop(windowTitle());
    updateCommands();
}

void TFormVisualizza::ActionGraficoExecute() {
    Dialogs::FileRequest request;
    request.title = LoadTextOr(235, QStringLiteral("Apri file dati in tempo reale"));
    request.folder = recorder_.Folder();
    request.filter =
        LoadTextOr(234, QStringLiteral("Acquisizioni in tempo reale")) + QStringLiteral(" (*.txt)");
    // The last saved recording, until a file has been opened here.
    if (graphFile_.isEmpty() && QFileInfo::exists(recorder_.LastFileName()))
        request.selectedFile = recorder_.LastFileName();
    else
        request.selectedFile = graphFile_;
    const QString chosen = Dialogs::current().openFileName(request);
    if (chosen.isEmpty()) return;
    graphFile_ = chosen;
    TFormGraficoDrt graph(chosen, screen_, this);
    graph.Execute();
}

void TFormVisualizza::createRollingChart(QWidget* parent, const QRect& design) {
    const ScreenScale scale(screen_.width());
    ChartScorrevole = new GraphView(parent);
    ChartScorrevole->setObjectName(QStringLiteral("ChartScorrevole"));
    ChartScorrevole->setGeometry(scale(design));
    ChartScorrevole->SetLabelFont(formFont(scale(10)));
    ChartScorrevole->SetZoomable(false);
    ChartScorrevole->setAttribute(Qt::WA_TransparentForMouseEvents);
    QList<GraphView::LegendEntry> legend;
    for (int trace = 0; trace < RollingWindow::kTraces; ++trace) {
        if (trace == RollingWindow::Lambda2 && !secondProbe_) continue;
        const int graph = RollingWindow::GraphTrace(trace);
        legend.append({GraphTraces::Title(graph), GraphTraces::All()[size_t(graph)].colour});
    }
    ChartScorrevole->SetLegend(legend);
    ChartScorrevole->hide();
}

// From the blocks already read: the chart asks the ECU for nothing.
void TFormVisualizza::drawRollingChart() {
    ChartScorrevole->SetAxes({-RollingWindow::kSpanMs * 0.001, 0, QStringLiteral("s")},
                             {0, rolling_.Top(), QString()});
    QList<GraphView::Line> lines;
    for (int trace = 0; trace < RollingWindow::kTraces; ++trace) {
        if (trace == RollingWindow::Lambda2 && !secondProbe_) continue;
        const int graph = RollingWindow::GraphTrace(trace);
        lines.append({rolling_.Points(trace), GraphTraces::All()[size_t(graph)].colour});
    }
    ChartScorrevole->SetLines(std::move(lines));
}

void TFormVisualizza::ActionScorrevoleExecute() {
    const bool show = !!ChartScorrevole->isHidden();
    if (show) drawRollingChart();
    ChartScorrevole->setVisible(show);
    Dial->setVisible(!show);
    ActionScorrevole->setChecked(show);
}

void TFormVisualizza::done(int result) {
    if (recorder_.IsRecording()) ActionTerminaExecute();
    Timer1->stop();
    QDialog::done(result);
}
