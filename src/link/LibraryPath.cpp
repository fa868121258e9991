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

QString LibraryPath::resolve(const QString& name) {
    const QFileInfo info(name);
    const QString file = platformFileName(info.fileName());
    if (info.isAbsolute() || name.contains(u'/')) return QDir(info.path()).filePath(file);
    const QString folder =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return QDir(folder).filePath(file);
}
