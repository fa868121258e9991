#include "EcusimProcess.h"

#include <QCoreApplication>

EcusimProcess::~EcusimProcess() {
    if (process_.state() != QProcess::NotRunning) {
        process_.closeWriteChannel();  // --exit-on-eof
        if (!process_.waitForFinished(5000)) process_.kill();
        process_.waitForFinished(5000);
    }
    qunsetenv("ECU_PORT");
}

bool EcusimProcess::start(QStringList arguments, QString* error) {
    arguments << "--exit-on-eof";
    process_.start(QCoreApplication::applicationDirPath() + "/ecusim", arguments);
    if (!process_.waitForStarted(10000)) {
        *error = "ecusim does not start: " + process_.errorString();
        return false;
    }
    while (!process_.canReadLine())
        if (!process_.waitForReadyRead(10000)) {
            *error = "ecusim names no device: " +
                     QString::fromLocal8Bit(process_.readAllStandardError());
            return false;
        }
    device_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    if (!device_.startsWith("/dev/")) {
        *error = "ecusim names no device: " + device_;
        return false;
    }
    qputenv("ECU_PORT", device_.toLocal8Bit());
    return true;
}

void EcusimProcess::kill() {
    process_.kill();
    process_.waitForFinished(5000);
}
