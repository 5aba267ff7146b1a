#pragma once
#include "prompts/prompts.h"
#include <QColor>
#include "link/serialio.h"
#include <QByteArray>
#include <QProcess>
#include <QString>

// One measured figure, printed on one line beside its goal.
struct Figure
{
    QString label;
    double value = 0;
    QString unit;
    double goal = 0;       // the figure must stay below this
    QString detail;        // how it was measured, printed on the next line
    bool measured = false; // false: the measurement could not be made, detail says why
};
void printFigure(const Figure &figure);

// A port that answers nothing by itself: the bench hands it bytes, which arrive at once.
class BenchPort : public SerialIo
{
public:
    using SerialIo::SerialIo;
    bool open(const QString &, EComPort *) override { m_open = true; return true; }
    bool isOpen() const override { return m_open; }
    int write(const QByteArray &bytes) override { return m_open ? int(bytes.size()) : 0; }
    QByteArray read(int count) override;
    void clearBuffer(bool input, bool) override { if (input) m_inbound.clear(); }
    void setDtr(bool) override {}
    void close() override;

    void arrive(const QByteArray &bytes);

private:
    QByteArray m_inbound;
    bool m_open = false;
};

// Prompts that never wait; a message means the run did not go as planned, so it is counted.
class QuietPrompts : public Prompts
{
public:
    void beep() override { ++beeps; }
    void message(const QString &caption, const QString &text) override;
    bool askYesNo(const QString &, const QString &) override { return false; }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QColor pickColour(const QColor &) override { return {}; }

    int beeps = 0;
    int messages = 0;
};

// TESTER.INI with only the line settings, written as the tool reads it (Windows-1250, CRLF).
bool writeSettings(const QString &folder, const QString &port, int pollMs);

// The simulated unit on a pseudo-terminal; `ptyPath` is the device it prints first.
bool startSimulator(QProcess &sim, const QString &logPath, QString *ptyPath, QString *error);
// The real tool in `workFolder`, with its single-instance lock in `tempFolder`: headless, or on the
// X display `display` (":N") when one is given.
void startTool(QProcess &tool, const QString &workFolder, const QString &tempFolder, const QString &display = {});
// SIGTERM, then SIGKILL if it has not gone within a second; never leaves the process behind.
void stopProcess(QProcess &process);

// CPU time (user + system) of a process so far, in clock ticks; -1 when it cannot be read.
qint64 cpuTicks(qint64 pid);
double ticksPerSecond();
// CPU time of the process's threads that are alive, in ns, from the scheduler (finer than ticks);
// -1 when it cannot be read.
qint64 cpuNs(qint64 pid);
// Resident memory of a process in kB; -1 when it cannot be read.
qint64 residentKb(qint64 pid);
// Lines of a frame log that contain `needle`.
int countLogLines(const QString &logPath, const QByteArray &needle);
// Keeps the bench's own events flowing while it waits.
void pauseMs(int ms);

// The request the tool polls with, as the simulator logs it.
inline QByteArray pollLogEntry() { return QByteArrayLiteral("RX 02 0F 03"); }
