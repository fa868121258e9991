#pragma once

#include <QPageSize>
#include <QString>

class QTextDocument;

// A report as a PDF file, portrait, on A4 or Letter. The file is written whole or not at
// all: a failure (a full disk, a folder that cannot be written) leaves the old file, or none.
class ReportPdf {
  public:
    static constexpr int kResolution = 300;

    // Empty on success; else why the file could not be written.
    static QString Write(const QTextDocument& document, const QString& fileName,
                         QPageSize::PageSizeId size = QPageSize::A4);
};
