#pragma once

#include <QSerialPort>
#include <memory>

#include "Transport.h"

// The serial port under the link. Port choice: the device named by the environment variable
// ECU_PORT when it is set (nothing else is tried); otherwise the configured port number (the
// "ComPort" setting, or ConfigureLink1) in the platform's names, then every other serial port
// of the machine, USB adapters first.
class SerialTransport final : public ecu::Transport {
  public:
    SerialTransport();
    ~SerialTransport() override;

    std::vector<std::string> candidates(int portNumber) override;
    OpenResult open(const std::string& name) override;
    void close() override;
    bool isOpen() const override;
    bool healthy() override;
    bool write(const ecu::Bytes& bytes) override;
    ecu::Bytes receive(int timeoutMs) override;
    void discardInput() override;
    int baudRate() const override;
    std::string lastError() const override { return lastError_; }
    void setFailureHandler(std::function<void()> handler) override;

  private:
    static int configuredPortNumber();
    static std::vector<std::string> namesOfPort(int number);
    void portFailed(QSerialPort::SerialPortError error);

    std::unique_ptr<QSerialPort> port_;
    QString device_;  // the device node, empty where ports have none
    std::string lastError_;
    std::function<void()> failed_;
    bool failing_ = false;  // reported; the port closes at the next turn of the event loop
    int openings_ = 0;
};
