#include "LiveStatusBar.h"

#include <QLabel>

#include "CaptionLoader.h"
#include "EditorLook.h"
#include "LiveValues.h"

namespace {
constexpr int kCaptionY = 6, kValueY = 28, kThirdY = 52;
constexpr int kColumn1 = 330, kColumn2 = 400;
}  // namespace

LiveStatusBar::LiveStatusBar(const ScreenScale& scale, QWidget* parent)
    : QFrame(parent), scale_(scale) {
    setObjectName(QStringLiteral("PanelBarra"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setFixedHeight(scale_(kDesignHeight));
    EditorLook::Background(this, EditorLook::InfoBackground());
    setFont(EditorLook::Modern(scale_.ScreenWidth() * 9 / ScreenScale::kDesignWidth));

    captionGiri_ = caption("LabelGiri", "Giri", 8, kCaptionY, 80);
    ValueGiri = value("ValueGiri", 8, kValueY, 80);
    captionLambda1_ = caption("LabelLambda", "Lambda", 96, kCaptionY, 70);
    ValueLambda1 = value("ValueLambda1", 96, kValueY, 70);
    captionLambda2_ = caption("LabelLambda2", "Lambda 2", 172, kCaptionY, 70);
    ValueLambda2 = value("ValueLambda2", 172, kValueY, 70);
    captionTinjGas_ = caption("LabelTinjGas", "Tinj.gas", 250, kCaptionY, 76);
    captionTinjBenz_ = caption("LabelTinjBenz", "Tinj.benz", 250, kValueY, 76);
    ValueTinjGas1 = value("ValueTinjGas1", kColumn1, kCaptionY, 64);
    ValueTinjBenz1 = value("ValueTinjBenz1", kColumn1, kValueY, 64);
    ValueTinjGas2 = value("ValueTinjGas2", kColumn2, kCaptionY, 64);
    ValueTinjBenz2 = value("ValueTinjBenz2", kColumn2, kValueY, 64);
    captionPress_ = caption("LabelPress", "Press.", 480, kCaptionY, 80);
    ValuePress = value("ValuePress", 480, kValueY, 80);
    captionTRidutt_ = caption("LabelTRidutt", "T.ridutt.", 568, kCaptionY, 80);
    ValueTRidutt = value("ValueTRidutt", 568, kValueY, 80);
    captionTGas_ = caption("LabelTGas", "T.gas", 656, kCaptionY, 80);
    ValueTGas = value("ValueTGas", 656, kValueY, 80);
    LabelOpenLoop = caption("LabelOpenLoop", "OPENLOOP", 8, kThirdY, 90);
    LabelCutOff = caption("LabelCutOff", "CUTOFF", 110, kThirdY, 90);
    LabelCarburante = caption("LabelCarburante", "BENZINA", 656, kThirdY, 120);
    QFont bold = LabelCarburante->font();
    bold.setBold(true);
    LabelCarburante->setFont(bold);
    LabelOpenLoop->hide();
    LabelCutOff->hide();
    column1_ = ValueTinjGas1->x();
    column2_ = ValueTinjGas2->x();
    LoadCaptions();
}

QLabel* LiveStatusBar::caption(const char* name, const char* design, int x, int y, int width) {
    auto* label = new QLabel(QString::fromUtf8(design), this);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(scale_(QRect(x, y, width, 20)));
    EditorLook::TextColour(label, Qt::black);
    return label;
}

QLabel* LiveStatusBar::value(const char* name, int x, int y, int width) {
    QLabel* label = caption(name, "", x, y, width);
    EditorLook::TextColour(label, EditorLook::kBlue);
    return label;
}

void LiveStatusBar::LoadCaptions() {
    using C = CaptionLoader;
    C::Set(captionGiri_, 220, C::kStatus);
    C::Set(captionLambda1_, 217, C::kStatus);
    C::Set(captionLambda2_, 248, C::kStatus);
    C::Set(captionTinjGas_, 221, C::kStatus);
    C::Set(captionTinjBenz_, 224, C::kStatusWide);
    C::Set(captionPress_, 319, C::kStatus);
    C::Set(captionTRidutt_, 228, C::kStatus);
    C::Set(captionTGas_, 226, C::kStatus);
    C::Set(LabelCutOff, 229, C::kStatus);
    units_ = {C::Text(122, units_.volt), C::Text(123, units_.degrees), C::Text(125, units_.bar),
              C::Text(126, units_.rpm), C::Text(128, units_.notAvailable)};
}

void LiveStatusBar::SetProbes(bool two) {
    for (QLabel* label : {captionLambda2_, ValueLambda2, ValueTinjGas2, ValueTinjBenz2})
        label->setVisible(two);
    const int left = two ? column1_ : (column1_ + column2_) / 2;
    ValueTinjGas1->move(left, ValueTinjGas1->y());
    ValueTinjBenz1->move(left, ValueTinjBenz1->y());
}

void LiveStatusBar::lambda(QLabel* label, double volts, bool on, const Reading& reading) {
    const StatusTexts texts(units_);
    label->setText(texts.Lambda(volts));
    const bool lean =
        StatusTexts::LambdaLean(volts, reading.lambdaReference, reading.invertedProbe);
    EditorLook::Background(label, lean ? EditorLook::kGreen : EditorLook::kRed);
    label->setEnabled(on);
}

void LiveStatusBar::Show(const LiveValues& v, const Reading& reading) {
    const StatusTexts texts(units_);
    ValueGiri->setText(texts.Speed(v.rpm));
    lambda(ValueLambda1, v.lambda1, v.lambda1On(), reading);
    ValueTinjGas1->setText(texts.Time(v.gasMs1));
    ValueTinjBenz1->setText(texts.Time(v.petrolMs1));
    if (reading.twoProbes) {
        lambda(ValueLambda2, v.lambda2, v.lambda2On(), reading);
        ValueTinjGas2->setText(texts.Time(v.gasMs2));
        ValueTinjBenz2->setText(texts.Time(v.petrolMs2));
    }
    ValuePress->setText(texts.Pressure(v.pressure));
    ValueTRidutt->setText(texts.Temperature(v.t1Code, v.t1));
    ValueTGas->setText(texts.Temperature(v.t2Code, v.t2));
    LabelOpenLoop->setVisible(v.openLoop());
    LabelCutOff->setVisible(v.cutOff());
    LabelCarburante->setText(v.onGas() ? CaptionLoader::Text(231, QStringLiteral("GAS"))
                                       : CaptionLoader::Text(230, QStringLiteral("BENZINA")));
    EditorLook::TextColour(LabelCarburante, v.onGas() ? EditorLook::kGreen : EditorLook::kRed);
}
