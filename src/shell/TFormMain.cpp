#include "TFormMain.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <algorithm>

#include "BuildProfile.h"
#include "BusyCursor.h"
#include "Dialogs.h"
#include "EntryLabel.h"
#include "InstallationReportCommand.h"
#include "Language.h"
#include "MainLayout.h"
#include "QtTranslations.h"
#include "ScreenFont.h"
#include "ScreenScale.h"
#include "TAboutBox.h"
#include "TFormAttesa.h"
#include "TFormCalibraTar.h"
#include "TFormConfig.h"
#include "TFormFile.h"
#include "TFormScarica.h"
#include "TFormSplash.h"
#include "TFormVisualizza.h"
#include "TStatusBarMain.h"
#include "TStreamDati.h"
#include "TempLeftovers.h"

namespace {
const QColor kTeal(0, 128, 128);
constexpr int kEntryPixels = 30;
constexpr int kMenuLabelPixels = 34;

// The entries in list order: label name, text number, greatest length, design text.
struct EntryRow {
    const char* name;
    int text;
    int maximum;
    const char* design;
};
constexpr EntryRow kEntries[] = {
    {"LabelConfig", 6, 30, "CONFIGURA VETTURA"},
    {"LabelVisualizza", 7, 30, "VISUALIZZA"},
    {"LabelTara", 9, 30, "AUTOTARATURA"},
    {"LabelSalva", 12, 32, "SALVA CONFIGURAZIONE"},
    {"LabelCarica", 11, 31, "CARICA CONFIGURAZIONE"},
    {"LabelRiprogramma", 13, 29, "RIPROGRAMMA CENTRALINA"},
    {"LabelTermina", 15, 30, "ESCI"},
};

QFont titleFont(int pixels) {
    return ScreenFont::Bold({QStringLiteral("Bauhaus 93")}, QFont::SansSerif, pixels);
}

void setText(QLabel* label, int number, int maximum) {
    if (auto text = LoadText(number, maximum)) label->setText(*text);
    label->adjustSize();
}

void setText(QAction* action, int number) {
    if (auto text = LoadText(number)) action->setText(*text);
}

void setTitle(QMenu* menu, int number) {
    if (auto text = LoadText(number)) menu->setTitle(*text);
}
}  // namespace

TFormMain::TFormMain(TStreamDati& data, QRect screen, QWidget* parent)
    : QMainWindow(parent),
      data_(data),
      screen_(screen.isValid() ? screen : ScreenScale::PrimaryGeometry()),
      connection_(data) {
    screens_.liveView = [this] { ActionVisualizzaExecute(); };
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("Initializing..."));
    // Maximised; the geometry also holds where no window manager maximises.
    setGeometry(screen_);
    Language::current().SetIndex(data_.QorGlobalData().Get(2));

    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    startingCursor_ = true;
    splash_ = std::make_unique<TFormSplash>();
    splash_->ShowNow();

    baseDirectory_ = QDir::currentPath();
    TempLeftovers::Remove(QDir::tempPath());

    auto* client = new QWidget(this);
    client->setAutoFillBackground(true);
    QPalette teal = client->palette();
    teal.setColor(QPalette::Window, kTeal);
    client->setPalette(teal);
    setCentralWidget(client);

    statusBar_ = new TStatusBarMain(status_, screen_.width(), this);
    statusBar_->SetDescriptionSource([this] { return data_.GetDescription(); });
    setStatusBar(statusBar_);

    createActions();
    createMenus();
    createEntries();
    layoutEntries();
    select(0);
    status_.Apply(MainStatus::kLinkDown, facts());

    connection_.SetTitle([this] { return windowTitle(); });
    connection_.SetSaveCommand([this] { ActionSalvaExecute(); });
    connection_.SetWaitFactory([this]() -> std::unique_ptr<WaitView> {
        auto wait = std::make_unique<TFormAttesa>(this);
        connect(&data_, &TStreamDati::progress, wait.get(), &TFormAttesa::OnProgress);
        return wait;
    });
    formConfig_ = new TFormConfig(data_, screen_, this);
    formConfig_->SetResetCommand([this] { ActionResetDaPcExecute(); });
    connect(this, &TFormMain::languageChanged, formConfig_, &TFormConfig::LoadCaptions);
    formScarica_ = new TFormScarica(data_, this);
    formScarica_->SetBaseDirectory(baseDirectory_);
    formScarica_->SetTitle([this] { return windowTitle(); });
    screens_.programming = [this] { formScarica_->ActionProgrammaExecute(); };
    connect(&data_, &TStreamDati::mainState, this,
            [this](int code, int wParam) { OnMainState(code, wParam); });
    // Queued: the warning comes after the transfer's own wait dialog has gone.
    connect(
        &data_, &TStreamDati::lineDisturbed, this,
        [this](int percent) {
            Dialogs::current().warning(windowTitle(), EcuConnection::DisturbedLineText(percent));
        },
        Qt::QueuedConnection);
    qApp->installEventFilter(this);
}

TFormMain::~TFormMain() {
    qApp->removeEventFilter(this);
    if (startingCursor_) QGuiApplication::restoreOverrideCursor();
}

QAction* TFormMain::action(const QString& name, const QString& text) {
    auto* a = new QAction(text, this);
    a->setObjectName(name);
    addAction(a);  // shortcuts work wherever the focus is in the window
    return a;
}

void TFormMain::createActions() {
    ActionConf = action(QStringLiteral("ActionConf"), QStringLiteral("CONFIGURA VETTURA"));
    ActionVisualizza = action(QStringLiteral("ActionVisualizza"), QStringLiteral("&Visualizza"));
    ActionTara = action(QStringLiteral("ActionTara"), QStringLiteral("&Autotaratura"));
    ActionSalvaConf =
        action(QStringLiteral("ActionSalvaConf"), QStringLiteral("SALVA CONFIGURAZIONE"));
    ActionApriConf =
        action(QStringLiteral("ActionApriConf"), QStringLiteral("CARICA CONFIGURAZIONE"));
    ActionProgramma =
        action(QStringLiteral("ActionProgramma"), QStringLiteral("&Riprogramma centralina"));
    ActionEsci = action(QStringLiteral("ActionEsci"), QStringLiteral("&Esci"));
    ActionConnetti = action(QStringLiteral("ActionConnetti"), QStringLiteral("&Connetti"));
    ActionDisconnetti = action(QStringLiteral("ActionDisconnetti"), QStringLiteral("&Disconnetti"));
    ActionSalva = action(QStringLiteral("ActionSalva"), QStringLiteral("&Salva configurazione..."));
    ActionResetDaPc = action(QStringLiteral("ActionResetDaPc"), QStringLiteral("Reset"));
    ActionApri = action(QStringLiteral("ActionApri"), QStringLiteral("&Apri configurazione..."));
    ActionBloccoNote = action(QStringLiteral("ActionBloccoNote"),
                              QStringLiteral("Apri configurazione in &blocco note..."));
    ActionProgrammaCliente =
        action(QStringLiteral("ActionProgrammaCliente"), QStringLiteral("Programma &cliente..."));
    ActionResetCentralina =
        action(QStringLiteral("ActionResetCentralina"), QStringLiteral("&Reset centralina"));
    ActionAbout = action(QStringLiteral("ActionAbout"), QStringLiteral("&Informazioni su..."));
    ActionRapporto =
        action(QStringLiteral("ActionRapporto"), QStringLiteral("&Rapporto installazione..."));
    ActionRapporto->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));

    ActionConnetti->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    ActionDisconnetti->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    ActionDisconnetti->setEnabled(false);
    ActionResetCentralina->setEnabled(false);
    // Commands without behaviour stay out of sight.
    for (QAction* a :
         {ActionApri, ActionSalva, ActionBloccoNote, ActionProgrammaCliente, ActionResetCentralina})
        a->setVisible(false);

    const auto open = [this](const std::function<void()>& screen) {
        if (screen) screen();
    };
    connect(ActionConf, &QAction::triggered, this, [this] { ActionConfExecute(); });
    connect(ActionVisualizza, &QAction::triggered, this, [=, this] { open(screens_.liveView); });
    connect(ActionTara, &QAction::triggered, this, [this] { ActionTaraExecute(); });
    connect(ActionSalvaConf, &QAction::triggered, this, [this] { ActionSalvaConfExecute(); });
    connect(ActionApriConf, &QAction::triggered, this, [this] { ActionApriConfExecute(); });
    // Programming reconnects to an ECU with other firmware: the status bar follows.
    connect(ActionProgramma, &QAction::triggered, this, [=, this] {
        open(screens_.programming);
        applyLinkState();
    });
    connect(ActionEsci, &QAction::triggered, this, &QWidget::close);
    connect(ActionConnetti, &QAction::triggered, this, [this] { ActionConnettiExecute(); });
    connect(ActionDisconnetti, &QAction::triggered, this, [this] { ActionDisconnettiExecute(); });
    connect(ActionSalva, &QAction::triggered, this, [this] { ActionSalvaExecute(); });
    connect(ActionResetDaPc, &QAction::triggered, this, [this] { ActionResetDaPcExecute(); });
    connect(ActionAbout, &QAction::triggered, this, [this] { ActionAboutExecute(); });
    connect(ActionRapporto, &QAction::triggered, this,
            [this] { InstallationReportCommand(data_, this).Run(QDir::currentPath()); });
}

void TFormMain::createMenus() {
    menuFile_ = menuBar()->addMenu(QStringLiteral("&File"));
    menuFile_->addAction(ActionApri);
    menuFile_->addAction(ActionSalva);
    menuFile_->addAction(ActionBloccoNote);
    menuFile_->addAction(ActionProgrammaCliente);
    menuFile_->addAction(ActionRapporto);
    QAction* update = menuFile_->addAction(QStringLiteral("Aggiorna &file..."));
    update->setVisible(false);
    menuFile_->addAction(ActionEsci);

    menuConnessione_ = menuBar()->addMenu(QStringLiteral("&Connessione"));
    menuConnessione_->addAction(ActionConnetti);
    menuConnessione_->addAction(ActionDisconnetti);
    menuConnessione_->addAction(ActionResetCentralina);

    menuImpostazioni_ = menuBar()->addMenu(QStringLiteral("Impostazioni"));
    menuSelLingua_ = menuImpostazioni_->addMenu(QStringLiteral("&Lingua"));
    menuSelLingua_->setObjectName(QStringLiteral("MenuSelLingua"));

    menuAiuto_ = menuBar()->addMenu(QStringLiteral("&Aiuto"));
    menuAiuto_->addAction(ActionAbout);

    formPopupMenu_ = new QMenu(this);
    formPopupMenu_->setObjectName(QStringLiteral("FormPopupMenu"));
    popupGroup_ = new QActionGroup(this);
    menuGroup_ = new QActionGroup(this);
}

void TFormMain::createEntries() {
    const ScreenScale scale(screen_.width());
    labelMenu_ = new QLabel(QStringLiteral("MENU PRINCIPALE"), centralWidget());
    labelMenu_->setObjectName(QStringLiteral("LabelMenu"));
    labelMenu_->setFont(titleFont(scale(kMenuLabelPixels)));
    QPalette red = labelMenu_->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    labelMenu_->setPalette(red);
    labelMenu_->setAlignment(Qt::AlignCenter);

    for (const EntryRow& row : kEntries) {
        auto* label = new EntryLabel(QString::fromLatin1(row.name), QString::fromUtf8(row.design),
                                     centralWidget());
        label->setFont(titleFont(scale(kEntryPixels)));
        label->adjustSize();
        label->SetTag(static_cast<int>(entries_.size()));
        connect(label, &EntryLabel::hovered, this, [this](int tag) { select(tag); });
        connect(label, &EntryLabel::clicked, this, [this](int tag) {
            select(tag);
            runSelected();
        });
        entries_.push_back(label);
    }
    commands_ = {ActionConf,     ActionVisualizza, ActionTara, ActionSalvaConf,
                 ActionApriConf, ActionProgramma,  ActionEsci};
    selection_ = EntrySelection(static_cast<int>(entries_.size()));
}

void TFormMain::layoutEntries() {
    labelMenu_->adjustSize();
    labelMenu_->setGeometry(0, 0, screen_.width(), labelMenu_->height());
    const std::vector<int> tops =
        MainLayout::Tops(labelMenu_->height(), entries_.front()->height(),
                         static_cast<int>(entries_.size()), screen_.height(), statusBar_->height());
    for (size_t i = 0; i < entries_.size(); ++i) entries_[i]->move(entries_[i]->x(), tops[i]);
    placeCommonLeft();
}

void TFormMain::placeCommonLeft() {
    int widest = 0;
    for (EntryLabel* label : entries_) widest = std::max(widest, label->width());
    const int left = MainLayout::CommonLeft(screen_.width(), widest);
    for (EntryLabel* label : entries_) label->move(left, label->y());
}

void TFormMain::select(int index) {
    const int previous = selection_.Index();
    if (!selection_.Select(index) && previous == index && entries_[previous]->IsSelected()) return;
    entries_[previous]->SetSelected(false);
    entries_[selection_.Index()]->SetSelected(true);
}

void TFormMain::runSelected() { commands_.at(static_cast<size_t>(selection_.Index()))->trigger(); }

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this) return false;
    switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            runSelected();
            return true;
        case Qt::Key_Up:
            select(selection_.Index() - 1);
            return true;
        case Qt::Key_Down:
            if (selection_.Index() < selection_.Count() - 1) select(selection_.Index() + 1);
            return true;
        default:
            return false;
    }
}

MainStatus::Facts TFormMain::facts() {
    MainStatus::Facts f;
    f.connected = data_.IsConnected();
    f.description = data_.GetDescription();
    f.firmwareMajor = data_.Identity(3);
    f.firmwareMinor = data_.Identity(2);
    f.cng = data_.GetOption(1) != 0;
    return f;
}

void TFormMain::enableForLink(bool connected) {
    ActionConnetti->setEnabled(!connected);
    ActionDisconnetti->setEnabled(connected);
    ActionResetCentralina->setEnabled(connected);
}

void TFormMain::OnMainState(int code, int) {
    switch (code) {
        case MainStatus::kConnect:
            ActionConnettiExecute();
            break;
        case MainStatus::kSave:
            ActionSalvaExecute();
            break;
        case MainStatus::kLinkDown:
        case MainStatus::kLinkUp:
            enableForLink(code == MainStatus::kLinkUp);
            [[fallthrough]];
        default:
            status_.Apply(code, facts());
            break;
    }
    statusBar_->repaint();
    repaint();
}

void TFormMain::applyLinkState() {
    OnMainState(data_.IsConnected() ? MainStatus::kLinkUp : MainStatus::kLinkDown);
}

void TFormMain::buildLanguageItems() {
    const Language& language = Language::current();
    const auto add = [&](QMenu* menu, QActionGroup* group, std::vector<QAction*>& items,
                         const QString& prefix, int i) {
        QAction* item =
            menu->addAction(language.Name(i).value_or(QStringLiteral("Lingua %1").arg(i)));
        item->setObjectName(prefix + QString::number(i));
        item->setCheckable(true);
        item->setData(i);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, i] { ChooseLanguage(i); });
        items.push_back(item);
    };
    for (int i = 0; i < language.Count(); ++i)
        add(formPopupMenu_, popupGroup_, popupItems_, QStringLiteral("MenuPopup"), i);
    for (int i = 0; i < language.Count(); ++i)
        add(menuSelLingua_, menuGroup_, menuItems_, QStringLiteral("MenuLingua"), i);

    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { formPopupMenu_->popup(mapToGlobal(at)); });

    const int stored = data_.QorGlobalData().Get(2);
    const int index = stored >= 0 && stored < language.Count() ? stored : 0;
    popupItems_.at(static_cast<size_t>(index))->trigger();
}

void TFormMain::ChooseLanguage(int index) {
    BusyCursor busy;
    index = std::max(index, 0);
    data_.QorGlobalData().Set(2, index);
    Language::current().SetIndex(index);
    QtTranslations::Use(QtTranslations::CurrentLocale());
    if (index < static_cast<int>(menuItems_.size())) {
        popupItems_[static_cast<size_t>(index)]->setChecked(true);
        menuItems_[static_cast<size_t>(index)]->setChecked(true);
    }
    ReloadTexts();
    emit languageChanged();
}

void TFormMain::ReloadTexts() {
    Language::current().ReadCharSet();
    setText(labelMenu_, 5, Language::kDefaultMaximum);
    labelMenu_->setGeometry(0, 0, screen_.width(), labelMenu_->height());
    for (size_t i = 0; i < entries_.size(); ++i)
        setText(entries_[i], kEntries[i].text, kEntries[i].maximum);
    placeCommonLeft();

    setTitle(menuFile_, 17);
    setTitle(menuConnessione_, 18);
    setTitle(menuImpostazioni_, 19);
    setTitle(menuSelLingua_, Language::kMenuCaptionNumber);
    setText(ActionAbout, 20);
    setText(ActionRapporto, 720);
    setTitle(menuAiuto_, 21);
    const std::pair<QAction*, int> actions[] = {
        {ActionApri, 23}, {ActionSalva, 24},           {ActionProgramma, 26},
        {ActionEsci, 27}, {ActionConnetti, 28},        {ActionDisconnetti, 29},
        {ActionTara, 30}, {ActionResetCentralina, 31}, {ActionVisualizza, 32}};
    for (const auto& [a, number] : actions) setText(a, number);

    status_.Reload(facts());
    statusBar_->repaint();
}

void TFormMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        firstShow();
    }
}

void TFormMain::firstShow() {
    buildLanguageItems();
    setWindowTitle(BuildProfile::ProductTitle());
    repaint();
    if (splash_) {
        splash_->Finish();
        splash_.reset();
    }
    if (startingCursor_) {
        QGuiApplication::restoreOverrideCursor();
        startingCursor_ = false;
    }
    QTimer::singleShot(0, this, [this] { firstIdle(); });
}

QString TFormMain::NotConnectedWarning() {
    return LoadTextOr(41, QStringLiteral("ATTENZIONE: non è stata rilevata la connessione con la "
                                         "centralina")) +
           QStringLiteral("\n\n- ") +
           LoadTextOr(42, QStringLiteral("le modifiche apportate non avranno effetto in "
                                         "centralina")) +
           QStringLiteral("\n- ") +
           LoadTextOr(43, QStringLiteral("prima di modificare i parametri stabilire la "
                                         "connessione (CTRL+C)"));
}

void TFormMain::firstIdle() {
    repaint();
    ActionConnettiExecute();
    if (!data_.IsConnected())
        Dialogs::current().error(BuildProfile::ProductTitle(), NotConnectedWarning());
}

void TFormMain::ActionConnettiExecute() {
    if (connection_.Connect() == EcuConnection::Result::Cancelled) return;
    applyLinkState();
}

void TFormMain::ActionDisconnettiExecute() {
    connection_.Disconnect();
    applyLinkState();
}

void TFormMain::ActionConfExecute() {
    formConfig_->setWindowTitle(LoadTextOr(94, QStringLiteral("Configurazione veicolo")) +
                                QStringLiteral(" - ") + LoadTextOr(34, QStringLiteral("Config")) +
                                QStringLiteral(": ") + data_.GetDescription());
    BusyCursor busy;
    formConfig_->Open();
}

void TFormMain::ActionTaraExecute() {
    if (!data_.IsConnected()) {
        Dialogs::current().error(
            windowTitle(),
            LoadTextOr(77, QStringLiteral("Centralina non connessa: impossibile eseguire la "
                                          "taratura!")));
        return;
    }
    if (screens_.calibration) {
        screens_.calibration();
        return;
    }
    TFormCalibraTar form(data_, this, screen_);
    form.setWindowTitle(LoadTextOr(451, QStringLiteral("Taratura automatica")) +
                        QStringLiteral(" - ") + LoadTextOr(34, QStringLiteral("Config")) +
                        QStringLiteral(": ") + data_.GetDescription());
    form.exec();
}

void TFormMain::ActionVisualizzaExecute() {
    TFormVisualizza form(data_, baseDirectory_, screen_, this);
    form.setWindowTitle(LoadTextOr(247, QStringLiteral("Visualizzazione parametri vettura")) +
                        QStringLiteral(" - ") + LoadTextOr(34, QStringLiteral("Config")) +
                        QStringLiteral(": ") + data_.GetDescription());
    form.exec();
}

void TFormMain::ActionSalvaExecute() {
    const int model = data_.Identity(1);
    const QString extension = BuildProfile::ConfigExtension(model);
    const QString kind = model == BuildProfile::ModelCode(1)
                             ? LoadTextOr(430, QStringLiteral("5-6-8 cilindri"))
                             : LoadTextOr(429, QStringLiteral("3-4 cilindri"));
    Dialogs::FileRequest request;
    request.title = QStringLiteral("Salva file di configurazione");
    request.folder = baseDirectory_;
    request.filter =
        QStringLiteral("Configurazione ") + kind + QStringLiteral(" (*.") + extension + u')';
    request.defaultSuffix = extension;
    data_.SetKey(BuildProfile::ScrambleKey());
    const QString path = Dialogs::current().saveFileName(request);
    if (path.isEmpty()) return;

    bool saved = false;
    {
        BusyCursor busy;
        TFormAttesa wait(this);
        wait.SetCaption(LoadTextOr(51, QStringLiteral("Salva dati della centralina su file")));
        wait.SetMessage(LoadTextOr(54, QStringLiteral("Salvataggio dati in corso: attendere...")));
        wait.SetCompletionSuffix(LoadTextOr(59, QStringLiteral("Completato")));
        connect(&data_, &TStreamDati::progress, &wait, &TFormAttesa::OnProgress);
        wait.Open();
        QString name = QFileInfo(path).fileName();
        name.chop(4);
        data_.SetDescription(name);
        data_.SetVehicleText(1, name);
        saved = data_.Transfer(TStreamDati::kSaveFile, path, 0, 0xFF, true);
    }
    statusBar_->repaint();
    if (!saved) {
        Dialogs::current().error(
            windowTitle(),
            LoadTextOr(83, QStringLiteral("Impossibile salvare la configurazione nel file.")) +
                u'\n' + QDir::toNativeSeparators(path) +
                (data_.LastError().isEmpty() ? QString() : u'\n' + data_.LastError()));
    }
}

void TFormMain::ActionSalvaConfExecute() {
    TFormFile chooser(data_, this, nullptr, TFormFile::kSave, baseDirectory_);
    chooser.exec();
}

void TFormMain::ActionApriConfExecute() {
    bool found = false;
    TFormFile chooser(data_, this, &found, TFormFile::kLoad, baseDirectory_);
    if (!found) {
        Dialogs::current().warning(
            windowTitle(), LoadTextOr(78, QStringLiteral("Nessun file presente in memoria!")));
        return;
    }
    chooser.exec();
}

void TFormMain::ActionResetDaPcExecute() {
    const Dialogs::Answer answer = Dialogs::current().message(
        windowTitle(),
        LoadTextOr(79, QStringLiteral("Sei sicuro di resettare tutti i dati della centralina?")),
        Dialogs::Icon::Question, Dialogs::Buttons::YesNo);
    if (answer != Dialogs::Answer::Yes) return;
    if (!data_.RequestReset()) {
        Dialogs::current().error(
            windowTitle(),
            LoadTextOr(80, QStringLiteral("Impossibile effettuare il reset della centralina.")) +
                u'\n' + LoadTextOr(40, QStringLiteral("Controllare il collegamento.")));
        return;
    }
    data_.SetModified(false);
    ActionDisconnettiExecute();
    QCoreApplication::processEvents();
    ActionConnettiExecute();
}

void TFormMain::ActionAboutExecute() { TAboutBox::Run(windowTitle(), this); }

void TFormMain::closeEvent(QCloseEvent* event) {
    if (!connection_.CanClose()) {
        event->ignore();
        return;
    }
    if (data_.IsConnected()) ActionDisconnettiExecute();
    event->accept();
}
