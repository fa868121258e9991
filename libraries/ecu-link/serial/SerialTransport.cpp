#include "SerialTransport.h"

#include <QCoreApplication>
#include <QFile>
#include <QSerialPortInfo>
#include <QSettings>
#include <algorithm>

#include "Protocol.h"
#include "UsbLatency.h"

SerialTransport::SerialTransport() : port_(std::make_unique<QSerialPort>()) {
    // The port notices a vanished device through the event loop of its thread, also while
    // the link is idle: a pulled adapter is known at once, not at the next request.
    QObject::connect(port_.get(), &QSerialPort::errorOccurred,
                     [this](QSerialPort::SerialPortError error) { portFailed(error); });
}

void SerialTransport::portFailed(QSerialPort::SerialPortError error) {
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError) return;
    if (!port_->isOpen() || failing_) return;
    failing_ = true;
    // A dead device keeps the port readable, each read failing: closed, or the event loop
    // spins on it. Not here, inside the port's own notice; and not a port opened since.
    const int opening = openings_;
    QMetaObject::invokeMethod(
        port_.get(),
        [this, opening] {
            if (opening == openings_) close();
        },
        Qt::QueuedConnection);
    if (failed_) failed_();
}

void SerialTransport::setFailureHandler(std::function<void()> handler) {
    failed_ = std::move(handler);
}

SerialTransport::~SerialTransport() { close(); }

int SerialTransport::configuredPortNumber() {
    // The program keeps "ComPort" in its settings; without an application name there are none.
    if (QCoreApplication::organizationName().isEmpty() &&
        QCoreApplication::applicationName().isEmpty())
        return 1;
    const int number = QSettings().value("ComPort", 1).toInt();
    return number > 0 ? number : 1;
}

std::vector<std::string> SerialTransport::namesOfPort(int number) {
#ifdef Q_OS_WIN
    return {"COM" + std::to_string(number)};
#else
    const std::string n = std::to_string(number - 1);
    return {"/dev/ttyUSB" + n, "/dev/ttyACM" + n, "/dev/ttyS" + n};
#endif
}

std::vector<std::string> SerialTransport::candidates(int portNumber) {
    const QByteArray forced = qgetenv("ECU_PORT");
    if (!forced.isEmpty()) return {forced.toStdString()};

    std::vector<std::string> names;
    for (const auto& name : namesOfPort(portNumber > 0 ? portNumber : configuredPortNumber()))
        if (QFile::exists(QString::fromStdString(name))) names.push_back(name);
    auto ports = QSerialPortInfo::availablePorts();
    std::stable_sort(ports.begin(), ports.end(), [](const auto& a, const auto& b) {
        return a.hasVendorIdentifier() && !b.hasVendorIdentifier();
    });
    for (const auto& info : ports) {
        const std::string name = info.systemLocation().toStdString();
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    return names;
}

ecu::Transport::OpenResult SerialTransport::open(const std::string& name) {
    close();
    ++openings_;
    port_->setPortName(QString::fromStdString(name));
    device_ = name.rfind("/dev/", 0) == 0 ? QString::fromStdString(name)
                                          : QSerialPortInfo(*port_).systemLocation();
    if (!port_->open(QIODevice::ReadWrite)) {
        const auto error = port_->error();
        const std::string reason = port_->errorString().toStdString();
        port_->clearError();
        switch (error) {
            case QSerialPort::PermissionError:
#ifdef Q_OS_LINUX
                lastError_ = "permission denied on " + name +
                             ": the user must be in the 'dialout' group "
                             "(sudo usermod -aG dialout $USER, then log in again)";
#else
                lastError_ = "permission denied on " + name + ": the port is in use or locked";
#endif
                qWarning("ECU link: %s", lastError_.c_str());
                return OpenResult::PermissionDenied;
            case QSerialPort::DeviceNotFoundError:
                lastError_ = name + ": no such port";
                return OpenResult::Missing;
            default:
                lastError_ = name + ": " + reason;
                return OpenResult::Failed;
        }
    }
    port_->setBaudRate(ecu::protocol::kBaudRate);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    UsbLatency::lower(name);
    discardInput();
    lastError_.clear();
    return OpenResult::Opened;
}

void SerialTransport::close() {
    if (port_->isOpen()) port_->close();
    port_->clearError();
    failing_ = false;
}

bool SerialTransport::isOpen() const { return port_->isOpen(); }

bool SerialTransport::healthy() {
    if (!port_->isOpen()) return false;
    const auto error = port_->error();
    if (error == QSerialPort::TimeoutError)
        port_->clearError();
    else if (error != QSerialPort::NoError)
        return false;
    // A pulled USB adapter takes its device node with it.
    return device_.isEmpty() || QFile::exists(device_);
}

bool SerialTransport::write(const ecu::Bytes& bytes) {
    if (!port_->isOpen()) return false;
    const auto size = static_cast<qint64>(bytes.size());
    if (port_->write(reinterpret_cast<const char*>(bytes.data()), size) != size) return false;
    while (port_->bytesToWrite() > 0)
        if (!port_->waitForBytesWritten(200)) return false;
    return true;
}

ecu::Bytes SerialTransport::receive(int timeoutMs) {
    if (!port_->isOpen()) return {};
    if (port_->bytesAvailable() == 0 && !port_->waitForReadyRead(std::max(timeoutMs, 0))) return {};
    const QByteArray data = port_->readAll();
    return ecu::Bytes(data.begin(), data.end());
}

void SerialTransport::discardInput() {
    if (!port_->isOpen()) return;
    port_->clear(QSerialPort::Input);
    port_->readAll();
}

int SerialTransport::baudRate() const { return ecu::protocol::kBaudRate; }
