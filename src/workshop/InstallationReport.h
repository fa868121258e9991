#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "ReportFacts.h"

class ParameterStore;
class QTextDocument;

// The installation report of one configuration, in the current language: the workshop and
// the date, the vehicle, the ECU, the installation parameters tab by tab as the editor shows
// them, the K map shaded by value, the differences from the fuel's base configuration, the
// last calibration and a signature line. Built as HTML for Qt's text document, so the preview,
// the printer and the PDF show the same sheet.
class InstallationReport {
  public:
    InstallationReport(const ParameterStore& store, ReportFacts facts);

    QString Html() const;
    std::unique_ptr<QTextDocument> Document() const;
    // The name of the report's file: the plate, else the description, then the date; only
    // characters every file system takes.
    QString FileName() const;

    // The parameters as shown, one caption and value a line (tests and the preview's search).
    struct Line {
        QString caption;
        QString value;
    };
    struct Section {
        QString title;
        std::vector<Line> lines;
    };
    std::vector<Section> Parameters() const;

  private:
    QString headerHtml() const;
    QString vehicleHtml() const;
    QString ecuHtml() const;
    QString kMapHtml() const;
    QString differencesHtml() const;
    QString footerHtml() const;
    Section changeoverSection() const;
    Section lambdaSection() const;
    Section levelSection() const;
    Section zoneSection() const;

    const ParameterStore& store_;
    ReportFacts facts_;
};
