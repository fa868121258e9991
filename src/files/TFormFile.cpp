#include "TFormFile.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTreeWidget>

#include "BuildProfile.h"
#include "BusyCursor.h"
#include "Catalogue.h"
#include "Dialogs.h"
#include "Language.h"
#include "MainState.h"
#include "ScreenScale.h"
#include "TFormAttesa.h"
#include "TFormMessaggio.h"
#include "TStreamDati.h"

namespace {
constexpr int kButtonCaption = 14;
constexpr int kListGap = 50;  // between the list and the buttons: the model choice
constexpr int kFontPixels = 13;
constexpr int kIconPixels = 32;

QString text(int number, const char* fallback, int maximum = Language::kDefaultMaximum) {
    return LoadTextOr(number, QString::fromUtf8(fallback), maximum);
}
}  // namespace

TFormFile::TFormFile(TStreamDati& data, QWidget* owner, bool* found, Mode mode,
                     const QString& baseDirectory)
    : QDialog(owner),
      data_(data),
      mode_(mode),
      baseDirectory_(baseDirectory),
      files_(baseDirectory, data.GetOption(1) != 0, data.Identity(1)) {
    BusyCursor busy;
    setObjectName(QStringLiteral("FormFile"));
    files_.MakeFolder();
    QDir::setCurrent(files_.Folder());

    createControls();
    placeControls();
    loadTexts();

    const bool connected = data_.IsConnected();
    Radio34Cilindri->setVisible(!connected);
    Radio34568Cilindri->setVisible(!connected);
    const bool second = files_.Model() == BuildProfile::ModelCode(1);
    {
        // The model stays the configuration's until the technician picks another.
        const QSignalBlocker blocker34(Radio34Cilindri);
        const QSignalBlocker blocker568(Radio34568Cilindri);
        (second ? Radio34568Cilindri : Radio34Cilindri)->setChecked(true);
    }

    if (mode_ == kLoad) {
        ListFile->move(ListFile->x(), LabelFile->y());
        LabelFile->hide();
        EditName->hide();
        if (found) *found = files_.AnyFile();
    } else {
        EditName->setText(ConfigFiles::CleanName(data_.GetDescription()));
        setTabOrder(EditName, ListFile);
    }
}

TFormFile::~TFormFile() { restore(); }

void TFormFile::createControls() {
    ListFile = new QTreeWidget(this);
    ListFile->setObjectName(QStringLiteral("ListFile"));
    ListFile->setColumnCount(2);
    ListFile->setRootIsDecorated(false);
    ListFile->setUniformRowHeights(true);
    ListFile->setAllColumnsShowFocus(true);
    ListFile->setSelectionMode(QAbstractItemView::SingleSelection);
    ListFile->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListFile->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListFile->setIconSize(QSize(kIconPixels, kIconPixels));
    ListFile->header()->setStretchLastSection(false);
    ListFile->viewport()->installEventFilter(this);
    connect(ListFile, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem*> selected = ListFile->selectedItems();
        if (!selected.isEmpty()) EditName->setText(selected.front()->text(0));
    });

    EditName = new QLineEdit(QStringLiteral("Standard"), this);
    EditName->setObjectName(QStringLiteral("EditName"));
    EditName->setMaxLength(ConfigFiles::kMaxName);
    LabelFile = new QLabel(this);
    LabelFile->setObjectName(QStringLiteral("LabelFile"));
    LabelFile->setBuddy(EditName);

    Radio34Cilindri = new QRadioButton(QStringLiteral("3-4 cilindri"), this);
    Radio34Cilindri->setObjectName(QStringLiteral("Radio34Cilindri"));
    Radio34568Cilindri = new QRadioButton(QStringLiteral("5-6-8 cilindri"), this);
    Radio34568Cilindri->setObjectName(QStringLiteral("Radio34568Cilindri"));
    // The tag of each button names its model: 0 the first, 1 the second.
    connect(Radio34Cilindri, &QRadioButton::toggled, this, [this](bool on) {
        if (on) chooseModel(0);
    });
    connect(Radio34568Cilindri, &QRadioButton::toggled, this, [this](bool on) {
        if (on) chooseModel(1);
    });

    ButtonOk = new QPushButton(QStringLiteral("&OK"), this);
    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    ButtonOk->setDefault(true);
    ButtonAnnulla = new QPushButton(QStringLiteral("&Annulla"), this);
    ButtonAnnulla->setObjectName(QStringLiteral("ButtonAnnulla"));
    connect(ButtonOk, &QPushButton::clicked, this, [this] { ButtonOkClick(); });
    connect(ButtonAnnulla, &QPushButton::clicked, this, &QDialog::reject);
}

// Designed for 800 pixels of width and scaled; the buttons keep to the bottom of the
// maximised window whatever the screen's proportions.
void TFormFile::placeControls() {
    const QRect screen = ScreenScale::PrimaryGeometry();
    const ScreenScale scale(screen.width());
    setGeometry(screen);
    setWindowState(Qt::WindowMaximized);
    QFont font = this->font();
    font.setPixelSize(scale(kFontPixels));
    setFont(font);

    const int w = screen.width();
    const int h = screen.height();
    LabelFile->setGeometry(scale(QRect(24, 16, 360, 18)));
    EditName->setGeometry(scale(QRect(24, 36, 360, 24)));
    ListFile->setGeometry(scale(24), scale(76), w - 2 * scale(24), scale(300));
    ButtonOk->setGeometry(w - scale(248), h - scale(56), scale(108), scale(30));
    ButtonAnnulla->setGeometry(w - scale(132), h - scale(56), scale(108), scale(30));
    Radio34Cilindri->setGeometry(scale(24), h - scale(56), scale(140), scale(24));
    Radio34568Cilindri->setGeometry(scale(172), h - scale(56), scale(160), scale(24));
}

void TFormFile::loadTexts() {
    setWindowTitle(mode_ == kSave
                       ? text(282, "Salva configurazione con nome...")
                       : text(283, "Scegli la configurazione da caricare in centralina"));
    LabelFile->setText(mode_ == kSave ? text(289, "Nome del file da salvare")
                                      : text(290, "File da caricare"));
    ListFile->setHeaderLabels({text(284, "Files disponibili"), text(285, "Data")});
    Radio34Cilindri->setText(text(429, "3-4 cilindri"));
    Radio34568Cilindri->setText(text(430, "5-6-8 cilindri"));
    ButtonOk->setText(text(88, "&OK", kButtonCaption));
    ButtonAnnulla->setText(text(89, "&Annulla", kButtonCaption));
}

void TFormFile::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (activated_) return;
    activated_ = true;
    firstActivation();
}

void TFormFile::firstActivation() {
    const int top = ListFile->y();
    const int width = static_cast<int>(0.96 * this->width());
    ListFile->setGeometry((this->width() - width) / 2, top, width, ButtonOk->y() - top - kListGap);
    ListFile->setColumnWidth(0, static_cast<int>(0.6 * width));
    ListFile->setColumnWidth(1, width - ListFile->columnWidth(0));
    fillList();
    if (mode_ == kLoad && ListFile->topLevelItemCount() > 0) {
        ListFile->setCurrentItem(ListFile->topLevelItem(0));
        ListFile->setFocus();
    } else if (mode_ == kSave) {
        EditName->setFocus();
    }
}

void TFormFile::fillList() {
    BusyCursor busy;
    ListFile->clear();
    TFormMessaggio notice(this);
    notice.setWindowTitle(QStringLiteral("Configurazioni veicolo"));
    notice.SetMessage(QStringLiteral("Scansione file in corso..."));
    notice.ShowNow();

    const QIcon icon = style()->standardIcon(QStyle::SP_FileIcon);
    const QLocale locale = QLocale::system();
    for (const ConfigFiles::Entry& entry : files_.List()) {
        auto* item = new QTreeWidgetItem(
            ListFile, {entry.caption, locale.toString(entry.created, QLocale::ShortFormat)});
        item->setIcon(0, icon);
    }
    const int client = ListFile->viewport()->width();
    ListFile->setColumnWidth(0, static_cast<int>(0.7 * client));
    ListFile->setColumnWidth(1, client - ListFile->columnWidth(0));
}

void TFormFile::chooseModel(int tag) {
    files_.SetModel(BuildProfile::ModelCode(tag == 1 ? 1 : 0));
    if (activated_) fillList();
}

bool TFormFile::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListFile->viewport()) {
        if (event->type() == QEvent::MouseButtonRelease) {
            const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
            releasedOverItem_ = ListFile->itemAt(at) != nullptr;
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            if (releasedOverItem_) ButtonOkClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormFile::ButtonOkClick() { mode_ == kSave ? save() : load(); }

std::unique_ptr<TFormAttesa> TFormFile::openWait(int caption, const QString& captionText,
                                                 int message, const QString& messageText) {
    auto wait = std::make_unique<TFormAttesa>(this);
    wait->SetCaption(LoadTextOr(caption, captionText));
    wait->SetMessage(LoadTextOr(message, messageText));
    wait->SetCompletionSuffix(text(59, "Completato") + u' ');
    connect(&data_, &TStreamDati::progress, wait.get(), &TFormAttesa::OnProgress);
    return wait;
}

// A transfer that failed: what, where and why, in one message.
void TFormFile::report(int number, const QString& fallback, const QString& path) {
    QString message = LoadTextOr(number, fallback);
    if (!path.isEmpty()) message += u'\n' + QDir::toNativeSeparators(path);
    if (!data_.LastError().isEmpty()) message += u'\n' + data_.LastError();
    Dialogs::current().error(windowTitle(), message);
}

void TFormFile::save() {
    const QString name = EditName->text();
    const QString path = files_.SavePath(name);
    if (path.isEmpty()) return;
    if (QFileInfo::exists(path) &&
        Dialogs::current().ask(windowTitle(), text(292, "Il file esiste già. Vuoi sovrascriverlo?"),
                               Dialogs::Icon::Warning, Dialogs::Buttons::YesNo,
                               Dialogs::Answer::No) != Dialogs::Answer::Yes)
        return;

    bool saved = false;
    {
        BusyCursor busy;
        const auto wait = openWait(51, QStringLiteral("Salva dati della centralina su file"), 54,
                                   QStringLiteral("Salvataggio dati in corso: attendere..."));
        wait->Open();
        QCoreApplication::processEvents();
        data_.SetDescription(name);
        data_.SetOfficial(false);
        data_.SetVehicleText(1, ConfigFiles::WithoutFolder(name));
        saved = data_.Transfer(TStreamDati::kSaveFile, path, 0, 0xFF, true);
    }
    if (!saved) {
        report(83, QStringLiteral("Impossibile salvare la configurazione nel file."), path);
        return;
    }
    accept();
}

// The configuration in memory, unsaved, goes to a file first if the technician wants it;
// false when loading must not go on (cancelled, or the save did not happen).
bool TFormFile::saveFirst() {
    if (!data_.IsModified()) return true;
    const Dialogs::Answer answer = Dialogs::current().message(
        windowTitle(), text(293, "Salvare i dati in memoria in un file?"), Dialogs::Icon::Warning,
        Dialogs::Buttons::YesNoCancel);
    if (answer == Dialogs::Answer::Cancel) return false;
    if (answer == Dialogs::Answer::No) return true;
    data_.SendMainState(MainState::kSave);
    // A save cancelled in its dialog, or failed, leaves the data unsaved: it is not lost.
    return !data_.IsModified();
}

void TFormFile::load() {
    if (!saveFirst()) return;
    const QString path = files_.LoadPath(EditName->text());
    if (!QFileInfo::exists(path)) {
        Dialogs::current().error(windowTitle(),
                                 text(291, "ATTENZIONE: problemi nell'apertura del file."));
        return;
    }
    // What the ECU holds is kept before the file replaces it.
    if (data_.IsConnected()) data_.Announce(StoreMoment::BeforeLoad);
    bool loaded = false;
    {
        BusyCursor busy;
        const auto wait = openWait(49, QStringLiteral("Caricamento dati dalla centralina"), 52,
                                   QStringLiteral("Caricamento dati in corso: attendere..."));
        wait->Open();
        // A file never holds the serial number: the one in memory (the ECU's) stays, rather
        // than the default a load starts from, which would then be written into the ECU.
        const std::vector<int32_t> serial = data_.Store().values(Catalogue::kSerialNumber);
        loaded = data_.Transfer(TStreamDati::kLoadDefaults, path, 0, 0xFF, true);
        data_.Store().values(Catalogue::kSerialNumber) = serial;
    }
    if (!loaded) {
        report(640, QStringLiteral("Impossibile caricare la configurazione dal file."), path);
        return;
    }
    if (data_.IsConnected()) {
        bool written = false;
        {
            BusyCursor busy;
            const auto wait =
                openWait(50, QStringLiteral("Scaricamento dati in centralina"), 53,
                         QStringLiteral("Scaricamento dati in centralina: attendere..."));
            wait->StartAnimation();
            wait->Open();
            written = data_.Transfer(TStreamDati::kWriteEcu, {}, 0, 0xFF, true);
        }
        if (!written) {
            report(641, QStringLiteral("Impossibile scrivere la configurazione in centralina."),
                   {});
            return;
        }
    } else {
        data_.SetIdentityDefaults(BuildProfile::ModelCode(Radio34568Cilindri->isChecked() ? 1 : 0));
    }
    accept();
}

void TFormFile::done(int result) {
    restore();
    QDialog::done(result);
}

void TFormFile::restore() {
    QDir::setCurrent(baseDirectory_);
    data_.SetKey(BuildProfile::ScrambleKey());
}
