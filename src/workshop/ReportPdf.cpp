#include "ReportPdf.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>
#include <memory>

namespace {
constexpr double kMarginMm = 15;
}

QString ReportPdf::Write(const QTextDocument& document, const QString& fileName,
                         QPageSize::PageSizeId size) {
    QSaveFile file(fileName);
    if (!QDir().mkpath(QFileInfo(fileName).absolutePath()) || !file.open(QIODevice::WriteOnly))
        return file.errorString();
    {
        QPdfWriter writer(&file);
        writer.setResolution(kResolution);
        writer.setPageSize(QPageSize(size));
        writer.setPageOrientation(QPageLayout::Portrait);
        writer.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                              QPageLayout::Millimeter);
        // print() lays a copy out on the writer's pages; the caller's document stays as it is.
        document.print(&writer);
    }
    if (file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) return file.errorString();
    return {};
}
