#include "platform/ComPort.h"

namespace {

// Far longer than the longest frame takes at 38400 baud.
constexpr int WriteWaitMs = 1000;

QString DevicePath(int portNumber) {
    const QString configured = qEnvironmentVariable(qPrintable(QStringLiteral("QDR318_COM%1").arg(portNumber)));
    if (!configured.isEmpty())
        return configured;
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
}

} // namespace

ComPort::ComPort(QObject* parent) : QObject(parent) {
    connect(&port_, &QSerialPort::readyRead, this, [this] { emit onComm(EvReceive); });
    connect(&port_, &QSerialPort::errorOccurred, this, &ComPort::errorOccurred);
}

bool ComPort::open() {
    if (port_.isOpen())
        port_.close();
    port_.setPortName(DevicePath(portNumber_));
    if (!port_.open(QIODevice::ReadWrite))
        return false;
    const bool ok = port_.setBaudRate(QSerialPort::Baud38400) && port_.setDataBits(QSerialPort::Data8) &&
                    port_.setParity(QSerialPort::NoParity) && port_.setStopBits(QSerialPort::OneStop) &&
                    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!ok)
        port_.close();
    return ok;
}

void ComPort::close() {
    if (port_.isOpen())
        port_.close();
}

void ComPort::clearInput() {
    if (port_.isOpen()) {
        port_.clear(QSerialPort::Input);
        port_.readAll();
    }
}

void ComPort::clearOutput() {
    if (port_.isOpen())
        port_.clear(QSerialPort::Output);
}

int ComPort::inBufferCount() const { return port_.isOpen() ? static_cast<int>(port_.bytesAvailable()) : 0; }

QByteArray ComPort::input(int max) { return port_.isOpen() ? port_.read(max) : QByteArray(); }

void ComPort::output(const QByteArray& bytes) {
    if (!port_.isOpen())
        return;
    port_.write(bytes);
    // The whole frame goes to the driver before the reply wait begins, so
    // nothing done meanwhile can cut its tail off.
    port_.flush();
    while (port_.isOpen() && port_.bytesToWrite() > 0 && port_.waitForBytesWritten(WriteWaitMs)) {
    }
}

// A device that vanished (an unplugged adapter, the far end of a pty gone)
// can report read errors without end; it is closed, as a lost port.
void ComPort::errorOccurred(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::ReadError || error == QSerialPort::ResourceError || error == QSerialPort::WriteError)
        close();
}
