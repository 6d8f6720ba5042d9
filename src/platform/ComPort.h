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
    // The port's traffic; a test or a fuzz target puts a line of its own in.
    virtual bool open();
    virtual void close();
    // Empties what was received and not yet read, the driver's queue included.
    virtual void clearInput();
    virtual void clearOutput();
    virtual int inBufferCount() const;
    // Up to max received bytes.
    virtual QByteArray input(int max);
    virtual void output(const QByteArray& bytes);

signals:
    void onComm(int event);

private:
    QSerialPort port_;
    int portNumber_ = 1;
    void errorOccurred(QSerialPort::SerialPortError error);
};
