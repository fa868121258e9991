#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

// archive_writer, the second program of the process tests, started from beside the test.
inline QString writerProgram() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/archive_writer");
}

inline void startWriter(QProcess& p, const QStringList& arguments) {
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start(writerProgram(), arguments);
}

// The ids a writer printed ("stored ID" lines).
inline QList<qint64> storedIds(const QByteArray& output) {
    QList<qint64> ids;
    for (const QByteArray& line : output.split('\n'))
        if (line.startsWith("stored ")) ids << line.mid(7).toLongLong();
    return ids;
}
