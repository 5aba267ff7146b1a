#include "comport.h"
#include "portname.h"
#include <QFile>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
// Where QSerialPort looks for a name: a path as it stands, a bare name in /dev.
QString devicePath(const QString &name)
{
    if (name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1String("./")) || name.startsWith(QLatin1String("../")))
        return name;
    return QStringLiteral("/dev/") + name;
}
#endif

// QSerialPort says "permission denied" both for a port another program holds (its lock file, or
// the exclusive flag of the line) and for a device the user may not open; only the device's
// access rights tell the two apart. Windows says "access denied" only for a port in use.
EComPort::Reason permissionReason(const QString &name)
{
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(devicePath(name));
    return ::access(path.constData(), R_OK | W_OK) == 0 || errno != EACCES ? EComPort::Busy : EComPort::Denied;
#else
    Q_UNUSED(name);
    return EComPort::Busy;
#endif
}

}  // namespace

EComPort::Reason EComPort::reasonFor(int systemError)
{
    switch (systemError) {
    case ENOENT:
    case ENODEV:
    case ENXIO: return Missing;
    case EBUSY: return Busy;
    case EACCES:
    case EPERM: return Denied;
    }
    return Other;
}

ComPort::ComPort(QObject *parent)
    : SerialIo(parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, &ComPort::notifyWaiting);
    connect(&m_port, &QSerialPort::errorOccurred, this, &ComPort::onError);
    m_hold.setSingleShot(true);
    m_hold.setTimerType(Qt::PreciseTimer);
    connect(&m_hold, &QTimer::timeout, this, &ComPort::endHold);
}

ComPort::~ComPort()
{
    endHold();
    if (m_port.isOpen())
        m_port.close();
}

bool ComPort::open(const QString &name, EComPort *error)
{
    if (m_port.isOpen())
        return true;
    if (refuseName(name, error))
        return false;
    m_name = name;
    m_port.setPortName(m_name);
    errno = 0;
    m_opening = true;
    const bool opened = m_port.open(QIODevice::ReadWrite);
    m_opening = false;
    if (!opened) {
        const int sysError = errno;
        if (error) {
            error->code = EComPort::OpenFailed;
            error->systemError = sysError;
            error->port = m_name;
            switch (m_port.error()) {
            case QSerialPort::DeviceNotFoundError: error->reason = EComPort::Missing; break;
            case QSerialPort::PermissionError: error->reason = permissionReason(m_name); break;
            default: error->reason = EComPort::reasonFor(sysError); break;
            }
        }
        m_port.clearError();
        return false;
    }
    const bool settingsApplied = m_port.setBaudRate(QSerialPort::Baud9600) && m_port.setDataBits(QSerialPort::Data8)
        && m_port.setParity(QSerialPort::NoParity) && m_port.setStopBits(QSerialPort::OneStop)
        && m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!settingsApplied) {
        if (error) {
            error->code = EComPort::SetStateFailed;
            error->systemError = errno;
            error->port = m_name;
        }
        m_port.close();
        m_port.clearError();
        return false;
    }
    m_port.setReadBufferSize(0);
    return true;
}

bool ComPort::refuseName(const QString &name, EComPort *error)
{
    if (firstControlCharacter(name) < 0)
        return false;
    if (error) {
        error->code = EComPort::OpenFailed;
        error->systemError = EINVAL;
        error->reason = EComPort::Invalid;
        error->port = name;
    }
    return true;
}

void ComPort::notifyWaiting()
{
    const qint64 waiting = m_port.isOpen() ? m_port.bytesAvailable() : 0;
    if (waiting > 0)
        emit rxChar(int(waiting));
}

int ComPort::write(const QByteArray &bytes)
{
    if (!m_port.isOpen())
        return 0;
    const int direct = writeDirect(bytes);
    if (direct == bytes.size())
        return direct;
    const qint64 written = m_port.write(bytes.mid(direct));
    if (written < 0)
        return direct;
    // Straight into the driver, so the link's timing of the frame starts now, not at the next
    // turn of the event loop. What the driver has no room for stays with Qt and follows later.
    m_writing = true;
    m_port.flush();
    m_writing = false;
    return m_port.isOpen() ? direct + int(written) : 0;
}

int ComPort::writeDirect(const QByteArray &bytes)
{
#ifdef Q_OS_UNIX
    // A frame the driver takes whole needs nothing of QSerialPort's write buffer, which would
    // switch its write notifier on and off around it: two more turns of the event loop a frame.
    // Anything else (bytes still queued, a full driver, a fault) takes QSerialPort's way.
    if (m_port.bytesToWrite() > 0)
        return 0;
    const ssize_t written = ::write(int(m_port.handle()), bytes.constData(), size_t(bytes.size()));
    return written > 0 ? int(written) : 0;
#else
    Q_UNUSED(bytes);
    return 0;
#endif
}

QByteArray ComPort::read(int count)
{
    if (!m_port.isOpen() || count <= 0)
        return {};
    return m_port.read(count);
}

void ComPort::awaitBytes(int count)
{
    // For one byte a hold saves no wake-up.
    if (count < 2 || m_hold.isActive() || !m_port.isOpen())
        return;
    // The notifier is QSerialPort's own child; where there is none (not on Unix), bytes come one by one.
    const auto notifiers = m_port.findChildren<QSocketNotifier *>(QString(), Qt::FindDirectChildrenOnly);
    for (QSocketNotifier *notifier : notifiers) {
        if (notifier->type() != QSocketNotifier::Read || !notifier->isEnabled())
            continue;
        notifier->setEnabled(false);
        m_heldNotifier = notifier;
        // The unit sends a frame's bytes back to back; a millisecond more for the timer's rounding.
        // Never near the link's 200 ms gap between bytes: that must count from bytes it has seen.
        m_hold.start(std::min(int((count * ByteWireNs + 999999) / 1000000) + 1, LongestHoldMs));
        return;
    }
}

void ComPort::endHold()
{
    m_hold.stop();
    if (m_heldNotifier)
        m_heldNotifier->setEnabled(true);
    m_heldNotifier = nullptr;
}

void ComPort::clearBuffer(bool input, bool output)
{
    if (!m_port.isOpen())
        return;
    if (input && output)
        m_port.clear(QSerialPort::AllDirections);
    else if (input)
        m_port.clear(QSerialPort::Input);
    else if (output)
        m_port.clear(QSerialPort::Output);
}

void ComPort::setDtr(bool high)
{
    // A pseudo-terminal has no modem lines and refuses; that is no fault of the link.
    if (m_port.isOpen() && !m_port.setDataTerminalReady(high))
        m_port.clearError();
}

void ComPort::close()
{
    endHold();
    if (!m_port.isOpen())
        return;
    m_port.close();
    emit afterClose();
}

void ComPort::onError(QSerialPort::SerialPortError error)
{
    // Taken first: for a failed write Qt reports the errno of the write itself.
    const int sysError = errno;
    // A failed open keeps its error for open() to explain.
    if (m_opening)
        return;
    // A line slower than the frames given to it: the driver's buffer is full and Qt keeps the
    // bytes until there is room (it calls that a resource error). A busy line is not a lost
    // device. Only a write's own errno counts; after a read of nothing it may be stale.
    const bool lineFull = sysError == EAGAIN || sysError == EWOULDBLOCK || sysError == EINTR;
    if (m_writing && lineFull && (error == QSerialPort::WriteError || error == QSerialPort::ResourceError)) {
        m_port.clearError();
        return;
    }
    switch (error) {
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
        // Qt 6.4 repeats these endlessly once the device has gone while the port stays open.
        if (m_port.isOpen())
            loseDevice();
        break;
    case QSerialPort::TimeoutError:
    case QSerialPort::NoError:
        break;
    default:
        // DTR refused by a device without modem lines and other one-off complaints.
        m_port.clearError();
        break;
    }
}

void ComPort::loseDevice()
{
    endHold();
    m_port.clearError();
    m_port.close();
    emit deviceLost(m_name);
    emit afterClose();
}
