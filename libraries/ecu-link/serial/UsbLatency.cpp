#include "UsbLatency.h"

#include <QFile>
#include <QFileInfo>

bool UsbLatency::lower(const std::string& device) {
#ifdef Q_OS_LINUX
    const QString name =
        QFileInfo(QFileInfo(QString::fromStdString(device)).canonicalFilePath()).fileName();
    if (!name.startsWith("ttyUSB")) return false;
    QFile timer("/sys/bus/usb-serial/devices/" + name + "/latency_timer");
    if (!timer.open(QIODevice::ReadWrite | QIODevice::Text)) return false;
    if (timer.readAll().trimmed() == "1") return true;
    timer.seek(0);
    return timer.write("1\n") == 2;
#else
    (void)device;
    return false;
#endif
}
