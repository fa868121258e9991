#include "LibraryPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString LibraryPath::platformFileName(const QString& name) {
#ifdef Q_OS_WIN
    return name;
#else
    QString base = name;
    if (base.endsWith(QLatin1String(".dll"), Qt::CaseInsensitive))
        base.chop(4);
    else
        return name;  // already a platform name
#ifdef Q_OS_MACOS
    return QStringLiteral("lib") + base + QStringLiteral(".dylib");
#else
    return QStringLiteral("lib") + base + QStringLiteral(".so");
#endif
#endif
}

const QString LibraryPath::kPrivateFolder = QStringLiteral(CENTRALINA_PRIVATE_FOLDER);

QString LibraryPath::resolve(const QString& name) {
    return resolveIn(
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath(),
        name);
}

QString LibraryPath::resolveIn(const QString& programFolder, const QString& name) {
    const QFileInfo info(name);
    const QString file = platformFileName(info.fileName());
    if (info.isAbsolute() || name.contains(u'/')) return QDir(info.path()).filePath(file);
    const QString beside = QDir(programFolder).filePath(file);
    if (QFileInfo::exists(beside)) return beside;
    const QString installed =
        QDir::cleanPath(QDir(programFolder).filePath(kPrivateFolder + u'/' + file));
    return QFileInfo::exists(installed) ? installed : beside;
}
