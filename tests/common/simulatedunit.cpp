#include "simulatedunit.h"
#include <QDir>
#include <QFile>

bool SimulatedUnit::start(const QStringList &options)
{
    m_process.setProgram(QStringLiteral(VELKOR_UNITSIM_PATH));
    const int linkOption = options.indexOf(QStringLiteral("--link"));
    m_link = linkOption >= 0 ? options.value(linkOption + 1) : m_linkFolder.filePath(QStringLiteral("ttyUNIT"));
    m_process.setArguments(linkOption >= 0 ? options : options + QStringList{QStringLiteral("--link"), m_link});
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start();
    if (!m_process.waitForStarted(5000))
        return false;
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(5000))
            return false;
    }
    m_path = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    return !m_path.isEmpty();
}

void SimulatedUnit::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

bool SimulatedUnit::writeSettings(const QString &folder, int pollMs, const QByteArray &moreSections) const
{
    QFile file(QDir(folder).filePath(QStringLiteral("TESTER.INI")));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("[Komunikace]\r\nPort=" + m_link.toLocal8Bit() + "\r\nObeznik=" + QByteArray::number(pollMs) + "\r\n");
    file.write(moreSections);
    return true;
}
