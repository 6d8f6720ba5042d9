#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

// The COM-port path of the link: 38400 baud, 8 data bits, no parity, one
// stop bit, no flow control. COM1 and COM2 are /dev/ttyS0 and /dev/ttyS1
// unless QDR318_COM1 / QDR318_COM2 name other device paths.
class ComPort : public QObject {
    Q_OBJECT
public:
    // The event code raised when bytes have been received.
    static constexpr int EvReceive = 2;

    explicit ComPort(QObject* parent = nullptr);

    void setCommPort(int portNumber) { portNumber_ = portNumber; }
    bool open();
    void close();
    // Empties what was received and not yet read, the driver's queue included.
    void clearInput();
    void clearOutput();
    int inBufferCount() const;
    // Up to max received bytes.
    QByteArray input(int max);
    void output(const QByteArray& bytes);

signals:
    void onComm(int event);

private:
    QSerialPort port_;
    int portNumber_ = 1;
    void errorOccurred(QSerialPort::SerialPortError error);
};
