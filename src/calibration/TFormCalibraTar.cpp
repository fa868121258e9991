#include "TFormCalibraTar.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "BusyCursor.h"
#include "CalibrationProcedure.h"
#include "Language.h"
#include "ScreenFont.h"
#include "ScreenScale.h"

namespace {
constexpr int kDesignWidth = 800;
constexpr int kDesignHeight = 572;
constexpr int kFontPixels = 21;
const QColor kNavy(0, 0, 128);
const QColor kTeal(0, 128, 128);
const QColor kRed(255, 0, 0);
const QColor kLime(0, 255, 0);
const QColor kYellow(255, 255, 0);

QFont bookman(int pixels) {
    return ScreenFont::Bold({QStringLiteral("Bookman Old Style"), QStringLiteral("URW Bookman")},
                            QFont::Serif, pixels);
}

void colour(QWidget* widget, QPalette::ColorRole role, const QColor& c) {
    QPalette p = widget->palette();
    p.setColor(role, c);
    widget->setPalette(p);
}

void setText(QGroupBox* group, int number) {
    if (auto text = LoadText(number)) group->setTitle(*text);
}

void setText(QLabel* label, int number) {
    if (auto text = LoadText(number)) label->setText(*text);
}

// Places the controls at their design geometry, scaled to the screen, fonts included.
class CalibraTarLayout {
  public:
    explicit CalibraTarLayout(int screenWidth) : scale_(screenWidth) {}

    template <typename W>
    W* place(W* widget, const QRect& design, int fontPixels = kFontPixels) const {
        widget->setGeometry(scale_(design));
        QFont font = widget->font();
        font.setPixelSize(std::max(1, scale_(fontPixels)));
        widget->setFont(font);
        return widget;
    }

    // A group with a large centred value and, beneath it, its unit.
    QLabel* valueGroup(QGroupBox* group, const QRect& design, int valuePixels, const QColor& c,
                       const QString& unit) const {
        place(group, design);
        const int width = design.width() - 16;
        auto* value = place(new QLabel(group), QRect(8, 24, width, 72), valuePixels);
        value->setAlignment(Qt::AlignCenter);
        colour(value, QPalette::WindowText, c);
        if (!unit.isEmpty()) {
            auto* caption = place(new QLabel(unit, group), QRect(8, 96, width, 26));
            caption->setAlignment(Qt::AlignCenter);
        }
        return value;
    }

    QSize size() const { return {scale_(kDesignWidth), scale_(kDesignHeight)}; }

  private:
    ScreenScale scale_;
};
}  // namespace

TFormCalibraTar::TFormCalibraTar(TStreamDati& data, QWidget* parent, QRect screen)
    : QDialog(parent),
      screen_(screen.isValid() ? screen : ScreenScale::PrimaryGeometry()),
      procedure_(std::make_unique<CalibrationProcedure>(
          data,
          CalibrationProcedure::Hooks{[this] { return windowTitle(); }, [this] { draw(); }})) {
    setObjectName(QStringLiteral("FormCalibraTar"));
    setWindowTitle(LoadText(451).value_or(QString()));
    setFont(bookman(kFontPixels));
    createControls();
    loadTexts();
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTickMs);
    connect(Timer1, &QTimer::timeout, this, &TFormCalibraTar::Timer1Timer);
    Timer1->start();
    draw();
}

TFormCalibraTar::~TFormCalibraTar() = default;

void TFormCalibraTar::createControls() {
    const CalibraTarLayout layout(screen_.width());
    resize(layout.size());
    setWindowState(Qt::WindowMaximized);
    const QString ms = QStringLiteral("ms");
    GroupGiri = new QGroupBox(this);
    LabelGiri = layout.valueGroup(GroupGiri, {8, 8, 256, 150}, 56, kNavy, QStringLiteral("rmp"));
    GroupTInjGas = new QGroupBox(this);
    LabelTInjGas = layout.valueGroup(GroupTInjGas, {272, 8, 256, 150}, 56, kTeal, ms);
    GroupTInjBenz = new QGroupBox(this);
    LabelTInjBenz = layout.valueGroup(GroupTInjBenz, {536, 8, 256, 150}, 56, kRed, ms);

    GroupLambda = layout.place(new QGroupBox(this), {8, 166, 190, 130});
    LabelLambda = layout.place(new QLabel(GroupLambda), {15, 36, 160, 64}, 34);
    LabelLambda->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    LabelLambda->setAlignment(Qt::AlignCenter);
    LabelLambda->setAutoFillBackground(true);
    QFont courier = LabelLambda->font();
    courier.setFamily(QStringLiteral("Courier New"));
    LabelLambda->setFont(courier);
    colour(LabelLambda, QPalette::WindowText, kYellow);
    const QString degrees = QStringLiteral("°C");
    GroupTRidutt = new QGroupBox(this);
    LabelTRidutt = layout.valueGroup(GroupTRidutt, {206, 166, 190, 130}, 44, kNavy, degrees);
    GroupTGas = new QGroupBox(this);
    LabelTGas = layout.valueGroup(GroupTGas, {404, 166, 190, 130}, 44, kNavy, degrees);
    GroupCarburante = new QGroupBox(this);
    LabelCarburante = layout.valueGroup(GroupCarburante, {602, 166, 190, 130}, 36, kNavy, {});

    LabelOperazione = layout.place(new QLabel(this), {8, 304, 784, 84});
    LabelOperazione->setAlignment(Qt::AlignCenter);
    LabelOperazione->setWordWrap(true);
    colour(LabelOperazione, QPalette::WindowText, kNavy);
    ProgressBar1 = layout.place(new QProgressBar(this), {100, 392, 600, 22});
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setTextVisible(false);
    LabelNota = layout.place(new QLabel(this), {8, 418, 784, 46});
    LabelNota->setAlignment(Qt::AlignCenter);
    LabelNota->setWordWrap(true);
    LabelPremere = layout.place(new QLabel(this), {150, 468, 500, 40});
    LabelPremere->setAlignment(Qt::AlignCenter);
    LabelPremere->setFrameStyle(QFrame::Box | QFrame::Plain);
    LabelPremere->setAutoFillBackground(true);
    colour(LabelPremere, QPalette::WindowText, kNavy);
    colour(LabelPremere, QPalette::Window, kLime);
    ButtonEsci = layout.place(new QPushButton(this), {325, 520, 150, 40});
    // Enter belongs to the screen (it starts the calibration), never to the button.
    ButtonEsci->setAutoDefault(false);
    ButtonEsci->setDefault(false);
    connect(ButtonEsci, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormCalibraTar::loadTexts() {
    setText(GroupGiri, 220);
    setText(GroupTRidutt, 228);
    setText(GroupTGas, 226);
    setText(GroupCarburante, 447);
    setText(GroupLambda, 217);
    setText(GroupTInjGas, 448);
    setText(GroupTInjBenz, 449);
    setText(LabelPremere, 452);
    setText(LabelNota, 474);
    if (auto text = LoadText(252)) ButtonEsci->setText(*text);
}

void TFormCalibraTar::Timer1Timer() { procedure_->Tick(); }

void TFormCalibraTar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        procedure_->Start();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFormCalibraTar::reject() {
    if (procedure_->Busy()) return;  // the closing and the re-read run to their end
    if (procedure_->GetState() == CalibrationProcedure::State::Running) {
        BusyCursor busy;
        procedure_->Close();
    }
    Timer1->stop();
    QDialog::reject();
}

void TFormCalibraTar::draw() {
    const CalibrationProcedure::Display& d = procedure_->GetDisplay();
    LabelGiri->setText(d.live.speed);
    LabelTInjGas->setText(d.live.gasTime);
    LabelTInjBenz->setText(d.live.petrolTime);
    LabelTRidutt->setText(d.live.reducer);
    LabelTGas->setText(d.live.gas);
    LabelCarburante->setText(d.live.fuel);
    LabelLambda->setText(d.live.lambda);
    if (d.live.fuelColour.isValid())
        colour(LabelCarburante, QPalette::WindowText, d.live.fuelColour);
    if (d.live.lambdaColour.isValid()) colour(LabelLambda, QPalette::Window, d.live.lambdaColour);
    LabelOperazione->setText(d.operation);
    LabelOperazione->setVisible(d.operationVisible);
    ProgressBar1->setValue(d.progress);
    ProgressBar1->setVisible(d.progressVisible);
    LabelNota->setVisible(d.noteVisible);
    LabelPremere->setVisible(d.promptVisible);
    if (d.exitFocused) ButtonEsci->setFocus();
    repaint();
}
