#pragma once
#include "serialio.h"
#include <QPointer>
#include <QSerialPort>
#include <QTimer>

class QSocketNotifier;

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
    void awaitBytes(int count) override;
    void setDtr(bool high) override;
    void close() override;

private:
    // Refused before the name reaches QSerialPort, which derives its lock file and device path from it.
    static bool refuseName(const QString &name, EComPort *error);
    void onError(QSerialPort::SerialPortError error);
    void loseDevice();
    void notifyWaiting();
    // Writes what the driver takes at once, without QSerialPort; returns how many bytes it took.
    int writeDirect(const QByteArray &bytes);
    void endHold();

    // A byte takes 10 bits at 9600 baud.
    static constexpr qint64 ByteWireNs = 1041667;
    static constexpr int LongestHoldMs = 100;

    QSerialPort m_port;
    QString m_name = QStringLiteral("COM1");
    bool m_opening = false;
    bool m_writing = false;  // inside write(): a full driver buffer says "try again", not "gone"
    // QSerialPort reads and announces each byte as it comes; its read notifier rests while the
    // rest of a frame is on its way, so the bytes are read together when the hold ends.
    QPointer<QSocketNotifier> m_heldNotifier;
    QTimer m_hold;
};
