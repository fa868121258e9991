#include "TempLeftovers.h"

#include <QDir>
#include <QFile>

int TempLeftovers::Remove(const QString& folder) {
    const QDir dir(folder);
    int removed = 0;
    for (const char* pattern : {"_mp*.tmp", "_mt*.tmp"}) {
        const QStringList names =
            dir.entryList({QString::fromLatin1(pattern)}, QDir::Files | QDir::Hidden);
        for (const QString& name : names) {
            const QString path = dir.filePath(name);
            QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
            if (QFile::remove(path)) ++removed;
        }
    }
    return removed;
}
