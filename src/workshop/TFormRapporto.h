#pragma once

#include <QDialog>
#include <QPageSize>
#include <memory>

#include "InstallationReport.h"

class QComboBox;
class QPushButton;
class QTextBrowser;
class QTextDocument;

// The report's preview: the sheet as it prints, "Stampa" through the print dialog, "Salva
// PDF" into the workshop folder's "Rapporti", A4 or Letter. Escape closes it.
class TFormRapporto : public QDialog {
    Q_OBJECT

  public:
    // folder: where "Rapporti" lives (the workshop folder).
    TFormRapporto(const InstallationReport& report, const QString& folder,
                  QWidget* parent = nullptr);
    ~TFormRapporto() override;

    // The file "Salva PDF" writes.
    QString PdfFileName() const;
    // Empty when written; else the reason, which has been shown.
    QString SavePdf();
    void Print();

  private:
    QPageSize::PageSizeId pageSize() const;

    std::unique_ptr<QTextDocument> document_;
    QString fileName_;
    QTextBrowser* Anteprima;
    QComboBox* ComboPagina;
    QPushButton* ButtonStampa;
    QPushButton* ButtonSalva;
};
