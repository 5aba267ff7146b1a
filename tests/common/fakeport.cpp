#include "fakeport.h"
#include <QTimer>

FakePort::FakePort(QObject *parent)
    : SerialIo(parent)
{
    m_clock.start();
}

bool FakePort::open(const QString &name, EComPort *error)
{
    openedName = name;
    if (m_failOpen) {
        if (error) {
            error->code = EComPort::OpenFailed;
            error->systemError = m_failOpen;
            error->reason = EComPort::reasonFor(m_failOpen);
            error->port = name;
        }
        return false;
    }
    m_open = true;
    return true;
}

int FakePort::write(const QByteArray &bytes)
{
    if (!m_open)
        return 0;
    written.append({bytes, m_clock.elapsed()});
    if (onWrite)
        onWrite(bytes);
    return int(bytes.size());
}

QByteArray FakePort::read(int count)
{
    const QByteArray out = inbound.left(count);
    inbound.remove(0, out.size());
    return out;
}

void FakePort::clearBuffer(bool input, bool)
{
    if (input) {
        inbound.clear();
        ++clears;
    }
}

void FakePort::close()
{
    if (!m_open)
        return;
    m_open = false;
    emit afterClose();
}

void FakePort::feed(const QByteArray &bytes)
{
    inbound += bytes;
    if (!inbound.isEmpty())
        emit rxChar(int(inbound.size()));
    arrivePending();
}

void FakePort::arrivePending()
{
    if (m_pending.isEmpty())
        return;
    const Pending next = m_pending.takeFirst();
    QTimer::singleShot(next.gapMs, Qt::PreciseTimer, this, [this, next] { feed(next.bytes); });
}

void FakePort::feedInPieces(const QByteArray &bytes, int chunk, int gapMs)
{
    for (int at = chunk; at < bytes.size(); at += chunk)
        m_pending.append({bytes.mid(at, chunk), gapMs});
    feed(bytes.left(chunk));
}

void FakePort::feedSoon(const QByteArray &bytes, int delayMs)
{
    QTimer::singleShot(delayMs, this, [this, bytes] { feed(bytes); });
}

void FakePort::loseDevice()
{
    m_open = false;
    emit deviceLost(openedName);
    emit afterClose();
}

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}
