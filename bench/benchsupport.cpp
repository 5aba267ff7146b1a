#include "benchsupport.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QThread>
#include <cstdio>
#include <unistd.h>

void printFigure(const Figure &f)
{
    if (!f.measured) {
        std::printf("%-44s not measured            (goal < %g %s)\n    %s\n", qPrintable(f.label), f.goal,
                    qPrintable(f.unit), qPrintable(f.detail));
    } else {
        const QString value = QString::number(f.value, 'f', f.value < 10 ? 2 : 1) + QLatin1Char(' ') + f.unit;
        const QString goal = QStringLiteral("goal < %1 %2").arg(f.goal).arg(f.unit);
        std::printf("%-44s %-22s (%s) %s\n", qPrintable(f.label), qPrintable(value), qPrintable(goal),
                    f.value < f.goal ? "met" : "MISSED");
        if (!f.detail.isEmpty())
            std::printf("    %s\n", qPrintable(f.detail));
    }
    std::fflush(stdout);
}

QByteArray BenchPort::read(int count)
{
    const QByteArray out = m_inbound.left(count);
    m_inbound.remove(0, out.size());
    return out;
}

void BenchPort::close()
{
    if (!m_open)
        return;
    m_open = false;
    emit afterClose();
}

void BenchPort::arrive(const QByteArray &bytes)
{
    if (!m_open || bytes.isEmpty())
        return;
    m_inbound += bytes;
    emit rxChar(int(m_inbound.size()));
}

void QuietPrompts::message(const QString &caption, const QString &text)
{
    ++messages;
    std::fprintf(stderr, "velkor_bench: the tool said \"%s: %s\"\n", qPrintable(caption), qPrintable(text));
}

bool writeSettings(const QString &folder, const QString &port, int pollMs)
{
    QFile file(QDir(folder).filePath(QStringLiteral("TESTER.INI")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray text = "[Komunikace]\r\nPort=" + port.toLocal8Bit() + "\r\nObeznik=" + QByteArray::number(pollMs)
        + "\r\n";
    return file.write(text) == text.size();
}

bool startSimulator(QProcess &sim, const QString &logPath, QString *ptyPath, QString *error)
{
    QStringList args;
    if (!logPath.isEmpty())
        args << QStringLiteral("--log") << logPath;
    sim.setProgram(QStringLiteral(VELKOR_UNITSIM_PATH));
    sim.setArguments(args);
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start();
    if (!sim.waitForStarted(5000)) {
        *error = QStringLiteral("cannot start %1: %2").arg(sim.program(), sim.errorString());
        return false;
    }
    QDeadlineTimer deadline(5000);
    while (!sim.canReadLine() && !deadline.hasExpired() && sim.state() == QProcess::Running)
        sim.waitForReadyRead(100);
    if (!sim.canReadLine()) {
        *error = QStringLiteral("the simulator printed no device within 5 s");
        stopProcess(sim);
        return false;
    }
    *ptyPath = QString::fromLocal8Bit(sim.readLine()).trimmed();
    return true;
}

void startTool(QProcess &tool, const QString &workFolder, const QString &tempFolder, const QString &display)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), display.isEmpty() ? QStringLiteral("offscreen") : QStringLiteral("xcb"));
    if (!display.isEmpty())
        env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("TMPDIR"), tempFolder);
    tool.setProcessEnvironment(env);
    tool.setWorkingDirectory(workFolder);
    tool.setProgram(QStringLiteral(VELKOR_TOOL_PATH));
    tool.setArguments({});
    // Its warnings are kept out of the figures; they are read only if something goes wrong.
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start();
}

void stopProcess(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(1000)) {
        process.kill();
        process.waitForFinished(2000);
    }
}

namespace {
QByteArray procFile(qint64 pid, const char *name)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
}

qint64 cpuTicks(qint64 pid)
{
    const QByteArray stat = procFile(pid, "stat");
    // The command name in parentheses may hold blanks; the fields after it are plain numbers,
    // starting with the state (field 3): utime is field 14, stime field 15.
    const int close = stat.lastIndexOf(')');
    if (close < 0)
        return -1;
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    return fields.at(11).toLongLong() + fields.at(12).toLongLong();
}

double ticksPerSecond()
{
    return double(::sysconf(_SC_CLK_TCK));
}

qint64 cpuNs(qint64 pid)
{
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    const QStringList ids = tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (ids.isEmpty())
        return -1;
    qint64 total = 0;
    for (const QString &id : ids) {
        QFile file(tasks.filePath(id + QStringLiteral("/schedstat")));
        if (!file.open(QIODevice::ReadOnly))
            return -1;
        total += file.readAll().split(' ').value(0).toLongLong();
    }
    return total;
}

qint64 residentKb(qint64 pid)
{
    const QByteArray status = procFile(pid, "status");
    for (const QByteArray &line : status.split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

int countLogLines(const QString &logPath, const QByteArray &needle)
{
    QFile file(logPath);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    int count = 0;
    for (const QByteArray &line : file.readAll().split('\n'))
        count += line.contains(needle) ? 1 : 0;
    return count;
}

void pauseMs(int ms)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(ulong(std::min<qint64>(10, std::max<qint64>(1, deadline.remainingTime()))));
    }
}
