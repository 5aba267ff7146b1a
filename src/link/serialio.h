#pragma once
#include "ecomport.h"
#include <QByteArray>
#include <QObject>
#include <QString>

// The byte channel to the unit as the link sees it. The real one is ComPort; tests use a fake that
// records every byte written. All calls come from the user-interface thread.
class SerialIo : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~SerialIo() override = default;

    // Opens the device with the line settings of the unit (9600 8N1, no flow control).
    // Returns false and fills `error` when it cannot be opened or set up.
    virtual bool open(const QString &name, EComPort *error) = 0;
    virtual bool isOpen() const = 0;
    // Hands the whole frame to the line and returns at once; the link times the frame's way over
    // the wire itself. Returns the number of bytes taken; a closed port takes nothing and returns 0.
    virtual int write(const QByteArray &bytes) = 0;
    // Takes up to `count` of the bytes that have come; never waits for more.
    virtual QByteArray read(int count) = 0;
    virtual void clearBuffer(bool input, bool output) = 0;
    // Nothing can come of what the link holds before `count` more bytes have passed on the line:
    // the port may tell of what comes once that long, instead of waking the link for each byte.
    // Whatever has come by then is told of; nothing is lost or reordered.
    virtual void awaitBytes(int count) { Q_UNUSED(count); }
    virtual void setDtr(bool high) = 0;
    virtual void close() = 0;

signals:
    // Bytes are waiting; `count` is how many (always > 0).
    void rxChar(int count);
    // The port was closed (by close() or because the device went away).
    void afterClose();
    // The device of `port` went away while open (adapter pulled, pseudo-terminal peer gone). Said once.
    void deviceLost(const QString &port);
};
