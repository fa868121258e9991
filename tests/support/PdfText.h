#pragma once

#include <QProcess>
#include <QString>

// The text of a PDF file as pdftotext reads it, one line of the page a line, ligatures
// spelled out ("fi"), so a test finds what a technician would read.
inline QString PdfText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}
