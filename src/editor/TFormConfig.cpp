#include "TFormConfig.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "CaptionLoader.h"
#include "Catalogue.h"
#include "ConfigTabBar.h"
#include "Dialogs.h"
#include "EditorLook.h"
#include "EditorTabs.h"
#include "LambdaProbe.h"
#include "LiveBlock.h"
#include "LiveDataReader.h"
#include "LiveStatusBar.h"
#include "LiveValues.h"
#include "NumericText.h"
#include "TNumericEdit.h"
#include "TStreamDati.h"
#include "TabAutoTar.h"
#include "TabCambio.h"
#include "TabLambda.h"
#include "TabSensore.h"

namespace {
// Options the editor follows at each showing, in this order.
constexpr std::array<int, 4> kSyncedOptions = {12, 8, 9, 10};
constexpr int kGasTemperatureOption = 9;
constexpr int kHintDistance = 60;  // from a field's right edge to the limit hint (design)
constexpr int kRifLambda = 5;
}  // namespace

TFormConfig::TFormConfig(TStreamDati& data, QRect screen, QWidget* parent)
    : QDialog(parent),
      data_(data),
      screen_(screen.isValid() ? screen : ScreenScale::PrimaryGeometry()) {
    setObjectName(QStringLiteral("FormConfig"));
    setWindowTitle(QStringLiteral("Configurazione veicolo"));
    setWindowModality(Qt::ApplicationModal);
    // A screen of fixed size: it fills the screen and cannot be resized.
    setGeometry(screen_);
    setFixedSize(screen_.size());
    lastWidth_ = screen_.width();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    CreateMenu();
    layout->setMenuBar(MainMenu);
    CreatePages();
    layout->addWidget(PageControl, 1);
    PanelBarra = new LiveStatusBar(Scale(), this);
    layout->addWidget(PanelBarra);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kRefreshMs);
    connect(Timer1, &QTimer::timeout, this, &TFormConfig::Timer1Timer);
    reader_ = std::make_unique<LiveDataReader>(data_, [this] { ShowLinkLost(); });
    LoadCaptions();

    // The changeover tab is the one the editor opens on, the first time.
    PageControl->setCurrentIndex(0);
    connect(PageControl, &QTabWidget::currentChanged, this, &TFormConfig::PageChanged);
}

TFormConfig::~TFormConfig() {
    if (watchingKeys_) qApp->removeEventFilter(this);
}

void TFormConfig::CreateMenu() {
    MainMenu = new QMenuBar(this);
    MainMenu->setObjectName(QStringLiteral("MainMenu"));
    MenuConfigurazione = MainMenu->addMenu(QStringLiteral("&Configurazione"));
    ActionEsci = new QAction(QStringLiteral("&Esci"), this);
    ActionEsci->setObjectName(QStringLiteral("ActionEsci"));
    ActionEsci->setShortcut(QKeySequence(Qt::Key_Escape));
    ActionEsci->setShortcutContext(Qt::WindowShortcut);
    addAction(ActionEsci);
    MenuConfigurazione->addAction(ActionEsci);
    connect(ActionEsci, &QAction::triggered, this, &QWidget::close);
}

void TFormConfig::CreatePages() {
    PageControl = new ConfigPageControl(this);
    const ScreenScale scale = Scale();
    PageControl->Bar()->SetFontPoints(EditorTabs::FontPoints(screen_.width()));
    PageControl->Bar()->SetTabSize(scale(kDesignTabThickness), PageControl->Bar()->Length());
    QFont pageFont = EditorLook::Modern();
    pageFont.setPixelSize(scale(14));
    PageControl->setFont(pageFont);
    EditorLook::TextColour(PageControl, EditorLook::kNavy);

    tabCambio = new TabCambio(data_, *this, PageControl);
    tabLambda = new TabLambda(data_, *this, PageControl);
    tabSensore = new TabSensore(data_, *this, PageControl);
    tabAutoTar = new TabAutoTar(data_, *this, PageControl);
    for (QWidget* page : {static_cast<QWidget*>(tabCambio), static_cast<QWidget*>(tabLambda),
                          static_cast<QWidget*>(tabSensore), static_cast<QWidget*>(tabAutoTar)})
        PageControl->addTab(page, QString());

    LabelLimite = new QLabel(tabCambio);
    LabelLimite->setObjectName(QStringLiteral("LabelLimite"));
    EditorLook::Background(LabelLimite, EditorLook::kBlue);
    EditorLook::TextColour(LabelLimite, EditorLook::InfoBackground());
    LabelLimite->hide();
}

void TFormConfig::SetResetCommand(std::function<void()> command) {
    tabCambio->SetResetCommand(std::move(command));
}

void TFormConfig::LoadCaptions() {
    using C = CaptionLoader;
    const std::array<std::pair<int, int>, 4> tabs = {
        {{95, C::kTabCaption}, {96, C::kShortTab}, {98, C::kShortTab}, {105, C::kTabCaption}}};
    const char* designs[] = {"Cambio", "Lambda", "Livello gas", "Modifica carb."};
    for (int i = 0; i < PageControl->count(); ++i) {
        const auto [number, buffer] = tabs[static_cast<size_t>(i)];
        const QString current = PageControl->tabText(i).isEmpty() ? QString::fromUtf8(designs[i])
                                                                  : PageControl->tabText(i);
        PageControl->setTabText(i, C::Text(number, current, buffer));
    }
    C::Set(MenuConfigurazione, 110);
    C::Set(ActionEsci, 116);
    for (ConfigTab* tab :
         {static_cast<ConfigTab*>(tabCambio), static_cast<ConfigTab*>(tabLambda),
          static_cast<ConfigTab*>(tabSensore), static_cast<ConfigTab*>(tabAutoTar)})
        tab->LoadCaptions();
    PanelBarra->LoadCaptions();
    // Lists filled again lose their selection: the page shows the store once more.
    if (isVisible()) ActiveTab()->ShowTab();
}

void TFormConfig::Open() {
    show();
    raise();
    activateWindow();
}

ConfigTab* TFormConfig::ActiveTab() const {
    return static_cast<ConfigTab*>(PageControl->currentWidget());
}

void TFormConfig::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!watchingKeys_) {
        qApp->installEventFilter(this);
        watchingKeys_ = true;
    }
    FormShow();
}

void TFormConfig::FormShow() {
    tabCambio->FillCylinders();
    PanelBarra->SetProbes(LiveBlock::SecondProbe(data_));
    ActiveTab()->ShowTab();
    SyncOptions();
    tabAutoTar->ComputeBoundaries();
    tabCambio->PlaceFields();
    SizeTabs();
    Timer1->start();
    FocusFirstField();
}

void TFormConfig::FocusFirstField() {
    QWidget* first = ActiveTab()->FirstField();
    first->setFocus(Qt::OtherFocusReason);
    // The page switch may have moved the focus into the field before the tab reloaded its
    // text: the value shown now is selected whole, so that what is typed replaces it.
    if (auto* field = qobject_cast<QLineEdit*>(first)) field->selectAll();
}

void TFormConfig::SyncOptions() {
    for (size_t i = 0; i < kSyncedOptions.size(); ++i) {
        const int option = kSyncedOptions[i];
        const bool stored = data_.GetOption(option) != 0;
        if (options_[i] == stored) continue;
        options_[i] = stored;
        data_.SetOption(option, stored);
        if (option == kGasTemperatureOption) tabCambio->ShowTemperature(stored);
    }
}

void TFormConfig::hideEvent(QHideEvent* event) {
    Timer1->stop();
    HideLimit();
    if (watchingKeys_) {
        qApp->removeEventFilter(this);
        watchingKeys_ = false;
    }
    QDialog::hideEvent(event);
}

void TFormConfig::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    SizeTabs();
}

void TFormConfig::SizeTabs() {
    ConfigTabBar* bar = PageControl->Bar();
    const auto visible = bar->Visibility();
    const int shown = static_cast<int>(std::count(visible.begin(), visible.end(), true));
    const int thickness = EditorTabs::ScaledThickness(bar->Thickness(), lastWidth_, width());
    lastWidth_ = width();
    bar->SetTabSize(thickness, std::max(1, EditorTabs::TabLength(PageControl->height(), shown)));
}

void TFormConfig::PageChanged(int) {
    HideLimit();
    ActiveTab()->ShowTab();
    if (isVisible()) FocusFirstField();
}

void TFormConfig::HoldRefresh() { Timer1->stop(); }

void TFormConfig::ResumeRefresh() {
    if (isVisible()) Timer1->start();
}

void TFormConfig::ShowLimit(TNumericEdit* field) {
    const QString low = NumericText::Format(field->GetLimit(2));
    const QString high = NumericText::Format(field->GetLimit(1));
    LabelLimite->setParent(field->parentWidget());
    LabelLimite->setText(u'(' + low + u';' + high + u')');
    LabelLimite->adjustSize();
    const int top = field->y() + (field->height() - LabelLimite->height()) / 2;
    LabelLimite->move(field->x() + field->width() + Scale()(kHintDistance), top);
    LabelLimite->show();
}

void TFormConfig::HideLimit() { LabelLimite->hide(); }

bool TFormConfig::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    return FormKeyDown(key->key(), key->modifiers());
}

// The form sees every key before the focused control: the tab keys and Esc are its own.
bool TFormConfig::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (key == Qt::Key_Escape) {
        ActionEsci->trigger();
        return true;
    }
    const int tab = EditorTabs::TabForKey(key, modifiers, PageControl->currentIndex(),
                                          PageControl->Bar()->Visibility());
    if (tab < 0) return false;
    PageControl->setCurrentIndex(tab);
    return true;
}

// Enter and Esc belong to the fields and to the menu, never to the dialog's default buttons.
void TFormConfig::keyPressEvent(QKeyEvent* event) { event->ignore(); }

void TFormConfig::Timer1Timer() {
    if (reader_->Tick() == LiveDataReader::Outcome::HeldBack) return;
    const LiveValues& values = reader_->Values();
    const int32_t probe = data_.Store().value(Catalogue::kLambdaType);
    PanelBarra->Show(values, {.lambdaReference = data_.GetValue(kRifLambda),
                              .invertedProbe = LambdaProbe::IsInverted(probe),
                              .twoProbes = LiveBlock::SecondProbe(data_)});
    tabLambda->FollowUp();
    if (ActiveTab() == tabAutoTar) tabAutoTar->Highlight(values.rpm, values.petrolMs1);
}

void TFormConfig::ShowLinkLost() {
    Dialogs::current().error(
        Caption(),
        CaptionLoader::Text(44, QStringLiteral("La centralina è disconnessa poichè non risponde "
                                               "correttamente. \nImpossibile connettersi.")));
}
