#include "comport.h"
#include "messageexcerpt.h"
#include "portname.h"
#include <cerrno>

QString EComPort::codeText(int code)
{
    switch (code) {
    case OpenFailed: return QStringLiteral("Unable to open com port");
    case WriteFailed: return QStringLiteral("WriteFile function failed");
    case ReadFailed: return QStringLiteral("ReadFile function failed");
    case PurgeFailed: return QStringLiteral("PurgeComm function failed");
    case SetStateFailed: return QStringLiteral("SetCommState function failed");
    case SetTimeoutsFailed: return QStringLiteral("SetCommTimeouts failed");
    case SetupFailed: return QStringLiteral("SetupComm function failed");
    case ClearErrorFailed: return QStringLiteral("ClearCommError function failed");
    case EscapeFailed: return QStringLiteral("EscapeCommFunction function failed");
    }
    return QStringLiteral("Unknown com port error");
}

QString EComPort::message() const
{
    QString text = codeText(code) + QStringLiteral(" (win error code: %1)").arg(systemError);
    if (!detail.isEmpty())
        text += QLatin1Char('\n') + detail;
    return text;
}

ComPort::ComPort(QObject *parent)
    : SerialIo(parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, &ComPort::notifyWaiting);
    connect(&m_port, &QSerialPort::errorOccurred, this, &ComPort::onError);
}

ComPort::~ComPort()
{
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
        const QString shown = messageExcerpt(m_name);
        if (error) {
            error->code = EComPort::OpenFailed;
            error->systemError = sysError;
            switch (m_port.error()) {
            case QSerialPort::DeviceNotFoundError:
                error->detail = QStringLiteral("Port %1 neexistuje: zkontrolujte Port v TESTER.INI a připojení kabelu.").arg(shown);
                break;
            case QSerialPort::PermissionError:
                error->detail = QStringLiteral("Port %1 je obsazen jiným programem nebo k němu nemáte přístup.").arg(shown);
                break;
            default:
                error->detail = QStringLiteral("Port %1: %2").arg(shown, m_port.errorString());
                break;
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
            error->detail = QStringLiteral("Port %1: %2").arg(messageExcerpt(m_name), m_port.errorString());
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
    const QString fault = portNameFault(name);
    if (fault.isEmpty())
        return false;
    if (error) {
        error->code = EComPort::OpenFailed;
        error->systemError = EINVAL;
        error->detail = fault;
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
    const qint64 written = m_port.write(bytes);
    if (written < 0)
        return 0;
    // Straight into the driver, so the link's timing of the frame starts now, not at the next
    // turn of the event loop.
    m_port.flush();
    return m_port.isOpen() ? int(written) : 0;
}

QByteArray ComPort::read(int count)
{
    if (!m_port.isOpen() || count <= 0)
        return {};
    return m_port.read(count);
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
    if (!m_port.isOpen())
        return;
    m_port.close();
    emit afterClose();
}

void ComPort::onError(QSerialPort::SerialPortError error)
{
    // A failed open keeps its error for open() to explain.
    if (m_opening)
        return;
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
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
    const QString reason = m_port.errorString();
    m_port.clearError();
    m_port.close();
    emit deviceLost(QStringLiteral("Spojení s řídicí jednotkou bylo přerušeno: port %1 přestal odpovídat (%2).\n"
                                   "Zkontrolujte kabel a spusťte program znovu.")
                        .arg(messageExcerpt(m_name), reason));
    emit afterClose();
}
