#include "TFormRapporto.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include "Dialogs.h"
#include "Language.h"
#include "ReportPdf.h"

namespace {
const QString kFolder = QStringLiteral("Rapporti");
}

TFormRapporto::TFormRapporto(const InstallationReport& report, const QString& folder,
                             QWidget* parent)
    : QDialog(parent),
      document_(report.Document()),
      fileName_(QDir(folder).filePath(kFolder + u'/' + report.FileName())) {
    setObjectName(QStringLiteral("FormRapporto"));
    setWindowTitle(LoadTextOr(721, QStringLiteral("Rapporto di installazione")));
    Anteprima = new QTextBrowser(this);
    Anteprima->setObjectName(QStringLiteral("Anteprima"));
    Anteprima->setDocument(document_.get());
    ComboPagina = new QComboBox(this);
    ComboPagina->setObjectName(QStringLiteral("ComboPagina"));
    ComboPagina->addItems({QStringLiteral("A4"), QStringLiteral("Letter")});
    ButtonStampa = new QPushButton(LoadTextOr(745, QStringLiteral("&Stampa")), this);
    ButtonStampa->setObjectName(QStringLiteral("ButtonStampa"));
    ButtonSalva = new QPushButton(LoadTextOr(746, QStringLiteral("Salva &PDF")), this);
    ButtonSalva->setObjectName(QStringLiteral("ButtonSalva"));
    ButtonSalva->setAutoDefault(false);
    ButtonStampa->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ComboPagina);
    buttons->addStretch();
    buttons->addWidget(ButtonStampa);
    buttons->addWidget(ButtonSalva);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Anteprima);
    layout->addLayout(buttons);
    resize(760, 900);
    connect(ButtonStampa, &QPushButton::clicked, this, &TFormRapporto::Print);
    connect(ButtonSalva, &QPushButton::clicked, this, [this] { SavePdf(); });
    Anteprima->setFocus();
}

TFormRapporto::~TFormRapporto() = default;

QString TFormRapporto::PdfFileName() const { return fileName_; }

QPageSize::PageSizeId TFormRapporto::pageSize() const {
    return ComboPagina->currentIndex() == 1 ? QPageSize::Letter : QPageSize::A4;
}

QString TFormRapporto::SavePdf() {
    const QString error = ReportPdf::Write(*document_, fileName_, pageSize());
    if (error.isEmpty())
        Dialogs::current().information(windowTitle(),
                                       LoadTextOr(749, QStringLiteral("Rapporto salvato in:\n%1"))
                                           .arg(QDir::toNativeSeparators(fileName_)));
    else
        Dialogs::current().error(
            windowTitle(),
            LoadTextOr(747, QStringLiteral("Impossibile salvare il rapporto:\n%1")).arg(error));
    return error;
}

void TFormRapporto::Print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(pageSize()));
    printer.setPageOrientation(QPageLayout::Portrait);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) document_->print(&printer);
}
