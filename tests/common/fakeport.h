#pragma once
#include "link/serialio.h"
#include <QElapsedTimer>
#include <QVector>
#include <functional>

// A port that records every frame written (with the time since construction) and feeds replies.
// Bytes queued with arriveLater() come in from the event loop after the next feed(), each piece
// its gap after the one before, as the rest of a reply would on a real line.
class FakePort : public SerialIo
{
    Q_OBJECT
public:
    struct Written { QByteArray bytes; qint64 atMs; };
    struct Pending { QByteArray bytes; int gapMs; };

    explicit FakePort(QObject *parent = nullptr);

    bool open(const QString &name, EComPort *error) override;
    bool isOpen() const override { return m_open; }
    int write(const QByteArray &bytes) override;
    QByteArray read(int count) override;
    void clearBuffer(bool input, bool output) override;
    void setDtr(bool high) override { dtr = high; }
    void awaitBytes(int count) override { awaited.append(count); }
    void close() override;

    // Bytes arrive now: the receive notification runs at once.
    void feed(const QByteArray &bytes);
    // Bytes that arrive `gapMs` after the previous ones.
    void arriveLater(const QByteArray &bytes, int gapMs) { m_pending.append({bytes, gapMs}); }
    // Bytes that arrive in pieces of `chunk` bytes, `gapMs` apart, starting now.
    void feedInPieces(const QByteArray &bytes, int chunk, int gapMs);
    // Bytes arrive from the event loop, as they would after the unit's reaction time.
    void feedSoon(const QByteArray &bytes, int delayMs = 0);
    // Called for every frame written; a test's stand-in for the unit.
    std::function<void(const QByteArray &)> onWrite;

    // Every open fails with this system error number until allowOpen().
    void failNextOpen(int systemError) { m_failOpen = systemError; }
    void allowOpen() { m_failOpen = 0; }
    void loseDevice();

    // Now, on the clock of `written`'s times.
    qint64 nowMs() const { return m_clock.elapsed(); }

    QVector<Written> written;
    QByteArray inbound;
    QVector<int> awaited;  // every awaitBytes() count, in order
    bool dtr = false;
    QString openedName;
    int clears = 0;

private:
    void arrivePending();

    QElapsedTimer m_clock;
    QVector<Pending> m_pending;
    bool m_open = false;
    int m_failOpen = 0;
};

// Hex text of bytes, "02 B4 44 FE 03", for readable comparisons.
QString hex(const QByteArray &bytes);
QByteArray bytesOf(std::initializer_list<int> values);
