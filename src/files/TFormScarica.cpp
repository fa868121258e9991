#include "TFormScarica.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>

#include "BuildProfile.h"
#include "Language.h"
#include "ProgrammingFilter.h"
#include "TFormAttesa.h"
#include "TStreamDati.h"

namespace {
QString text(int number, const char* fallback) {
    return LoadTextOr(number, QString::fromUtf8(fallback));
}

// The separator of the system's short date ("/" where it has none).
QChar dateSeparator() {
    for (QChar c : QLocale::system().dateFormat(QLocale::ShortFormat))
        if (!c.isLetter()) return c;
    return u'/';
}
}  // namespace

TFormScarica::TFormScarica(TStreamDati& data, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      LabelN(new QLabel(QStringLiteral("File1.s19"), this)),
      LabelD(new QLabel(QStringLiteral("1/1/2000"), this)),
      ButtonRiprogr(new QPushButton(QStringLiteral("&Programma"), this)),
      ButtonCambia(new QPushButton(QStringLiteral("&Cambia file"), this)),
      ButtonAnnulla(new QPushButton(QStringLiteral("&Annulla"), this)),
      data_(data),
      sequence_(data, QDir::currentPath()) {
    setObjectName(QStringLiteral("FormScarica"));
    setWindowTitle(QStringLiteral("RIPROGRAMMA CENTRALINA"));
    LabelN->setObjectName(QStringLiteral("LabelN"));
    LabelD->setObjectName(QStringLiteral("LabelD"));
    ButtonRiprogr->setObjectName(QStringLiteral("ButtonRiprogr"));
    ButtonCambia->setObjectName(QStringLiteral("ButtonCambia"));
    ButtonAnnulla->setObjectName(QStringLiteral("ButtonAnnulla"));
    ButtonRiprogr->setDefault(true);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("File:"), this), 0, 0);
    grid->addWidget(LabelN, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Data:"), this), 1, 0);
    grid->addWidget(LabelD, 1, 1);
    grid->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonRiprogr);
    buttons->addWidget(ButtonCambia);
    buttons->addWidget(ButtonAnnulla);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    setMinimumWidth(360);

    connect(ButtonRiprogr, &QPushButton::clicked, this, &QDialog::accept);
    connect(ButtonAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(ButtonCambia, &QPushButton::clicked, this, [this] { ButtonCambiaClick(); });

    SetBaseDirectory(QDir::currentPath());
    sequence_.SetWaitFactory([this]() -> std::unique_ptr<WaitView> {
        auto wait = std::make_unique<TFormAttesa>(parentWidget());
        connect(&data_, &TStreamDati::progress, wait.get(), &TFormAttesa::OnProgress);
        return wait;
    });
}

TFormScarica::~TFormScarica() = default;

void TFormScarica::SetBaseDirectory(const QString& directory) {
    OpenDialogFile.folder = QDir(directory).filePath(QStringLiteral("Firmware"));
    sequence_.SetBaseDirectory(directory);
}

void TFormScarica::SetTitle(std::function<QString()> title) {
    sequence_.SetTitle(std::move(title));
}

void TFormScarica::loadTexts() {
    setWindowTitle(text(13, "RIPROGRAMMA CENTRALINA"));
    ButtonCambia->setText(text(423, "&Cambia file"));
    ButtonRiprogr->setText(text(424, "&Programma"));
    ButtonAnnulla->setText(text(89, "&Annulla"));
    OpenDialogFile.title = text(428, "Seleziona file di programmazione");
    const bool connected = data_.IsConnected();
    const ProgrammingFilter filter(connected, data_.Identity(1));
    OpenDialogFile.filter = filter.Text();
    OpenDialogFile.selectedFilter = filter.Selected();
}

QString TFormScarica::DateText(const QString& fileName) {
    const QDateTime written = QFileInfo(fileName).lastModified();
    if (!written.isValid()) return QStringLiteral("not avaible");
    const QDate date = written.toLocalTime().date();
    const QChar separator = dateSeparator();
    return QString::number(date.day()) + separator + QString::number(date.month()) + separator +
           QString::number(date.year());
}

bool TFormScarica::openFile() {
    const QString chosen = Dialogs::current().openFileName(OpenDialogFile);
    if (chosen.isEmpty()) return false;
    fileName_ = chosen;
    LabelN->setText(QFileInfo(chosen).fileName());
    LabelD->setText(DateText(chosen));
    return true;
}

void TFormScarica::ButtonCambiaClick() { openFile(); }

bool TFormScarica::Choose() {
    loadTexts();
    if (fileName_.isEmpty() && !openFile()) return false;
    ButtonRiprogr->setFocus();
    return exec() == QDialog::Accepted;
}

void TFormScarica::ActionProgrammaExecute() {
    if (!Choose()) return;
    if (QWidget* owner = parentWidget()) owner->repaint();
    sequence_.Run(fileName_, ProgrammingFilter::IsImageFile(fileName_));
}
