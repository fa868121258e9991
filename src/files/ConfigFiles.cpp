#include "ConfigFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

#include "BuildProfile.h"

namespace {
constexpr int kCaptionCut = 4;  // ".kv4"
}  // namespace

ConfigFiles::ConfigFiles(const QString& baseDirectory, bool cng, int model)
    : folder_(QDir(baseDirectory).filePath(FolderName(cng)) + u'/'), model_(model) {}

QString ConfigFiles::FolderName(bool cng) {
    return cng ? QStringLiteral("ConfigCNG") : QStringLiteral("ConfigLPG");
}

QString ConfigFiles::CleanName(const QString& description) {
    QString name = description;
    name.remove(QRegularExpression(QStringLiteral(R"([./\\",;])")));
    return name;
}

QString ConfigFiles::WithoutFolder(const QString& name) {
    const qsizetype cut = std::max(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'));
    return name.mid(cut + 1);
}

bool ConfigFiles::MakeFolder() const { return QDir().mkpath(folder_); }

QString ConfigFiles::Extension() const { return BuildProfile::ConfigExtension(model_); }

QString ConfigFiles::SavePath(const QString& name) const {
    const QString file = WithoutFolder(name);
    if (file.isEmpty()) return {};
    const QString dotted = u'.' + Extension();
    const bool extended = file.endsWith(dotted, Qt::CaseInsensitive);
    return folder_ + file + (extended ? QString() : dotted);
}

QString ConfigFiles::LoadPath(const QString& name) const {
    for (const Entry& entry : List())
        if (entry.caption == name) return folder_ + entry.fileName;
    const QString file = WithoutFolder(name);
    const bool holds = file.toLower().contains(Extension());
    return folder_ + file + (holds ? QString() : u'.' + Extension());
}

std::vector<ConfigFiles::Entry> ConfigFiles::List() const {
    const QDir dir(folder_);
    // Without QDir::CaseSensitive the pattern ignores case, as it does on Windows.
    const QFileInfoList files =
        dir.entryInfoList({QStringLiteral("*.") + Extension()}, QDir::Files);
    std::vector<Entry> entries;
    entries.reserve(static_cast<size_t>(files.size()));
    for (const QFileInfo& file : files)
        entries.push_back(
            {file.fileName().chopped(kCaptionCut), file.fileName(), CreationDate(file)});
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const int folded = a.caption.compare(b.caption, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a.caption < b.caption;
    });
    return entries;
}

QDate ConfigFiles::CreationDate(const QFileInfo& file) {
    const QDateTime born = file.birthTime();
    return (born.isValid() ? born : file.lastModified()).toUTC().date();
}
