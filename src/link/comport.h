#pragma once
#include "serialio.h"
#include <QSerialPort>

// The serial line to the unit on QSerialPort: 9600 8N1, no flow control, DTR driven by hand.
class ComPort : public SerialIo
{
    Q_OBJECT
public:
    explicit ComPort(QObject *parent = nullptr);
    ~ComPort() override;

    // "COM2" is taken as it stands, "/dev/ttyUSB0" as a path, "ttyUSB0" as a device in /dev.
    bool open(const QString &name, EComPort *error) override;

    bool isOpen() const override { return m_port.isOpen(); }
    int write(const QByteArray &bytes) override;
    QByteArray read(int count) override;
    void clearBuffer(bool input, bool output) override;
    void setDtr(bool high) override;
    void close() override;

private:
    // Refused before the name reaches QSerialPort, which derives its lock file and device path from it.
    static bool refuseName(const QString &name, EComPort *error);
    void onError(QSerialPort::SerialPortError error);
    void loseDevice();
    void notifyWaiting();

    QSerialPort m_port;
    QString m_name = QStringLiteral("COM1");
    bool m_opening = false;
    bool m_writing = false;  // inside write(): a full driver buffer says "try again", not "gone"
};
