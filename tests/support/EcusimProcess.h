#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// ecusim on a pseudo-terminal, started from beside the test executable. While it runs,
// ECU_PORT names its device, so the link library opens that port and no other.
class EcusimProcess {
  public:
    ~EcusimProcess();

    // False with the reason in error when ecusim does not start or names no device.
    bool start(QStringList arguments, QString* error);
    const QString& device() const { return device_; }
    // Ends it as a pulled adapter ends a port: the pty goes away with the process.
    void kill();

  private:
    QProcess process_;
    QString device_;
};
