#include "ProgrammingFilter.h"

#include <QFileInfo>

#include "BuildProfile.h"
#include "Language.h"

namespace {
bool isBigModel(int model) { return model == BuildProfile::ModelCode(1); }

QString programmingEntry(int model) {
    const QString text =
        isBigModel(model) ? LoadTextOr(426, QStringLiteral("Files programmazione 5-6-8 cilindri"))
                          : LoadTextOr(425, QStringLiteral("Files programmazione 3-4 cilindri"));
    return text + QStringLiteral(" (*.") + BuildProfile::ProgramExtension(model) + u')';
}

QString pattern(const QStringList& extensions) {
    QStringList globs;
    for (const QString& extension : extensions) globs << QStringLiteral("*.") + extension;
    return globs.join(u' ');
}
}  // namespace

QString ProgrammingFilter::ImageExtension(int model) {
    return isBigModel(model) ? QStringLiteral("im8") : QStringLiteral("im4");
}

bool ProgrammingFilter::IsImageFile(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    for (int which : {0, 1})
        if (suffix == ImageExtension(BuildProfile::ModelCode(which))) return true;
    return false;
}

ProgrammingFilter::ProgrammingFilter(bool connected, int model) {
    const QString images = LoadTextOr(653, QStringLiteral("File immagine centralina"));
    if (connected) {
        entries_ << programmingEntry(model);
        entries_ << images + QStringLiteral(" (") + pattern({ImageExtension(model)}) + u')';
        selected_ = entries_.front();
        return;
    }
    const int small = BuildProfile::ModelCode(0), big = BuildProfile::ModelCode(1);
    entries_ << programmingEntry(small) << programmingEntry(big);
    entries_ << images + QStringLiteral(" (") +
                    pattern({ImageExtension(small), ImageExtension(big)}) + u')';
    selected_ = entries_.at(isBigModel(model) ? 1 : 0);
}
