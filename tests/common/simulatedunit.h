#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The simulated unit on a pseudo-terminal, started for one end-to-end test.
class SimulatedUnit
{
public:
    ~SimulatedUnit() { stop(); }
    // Starts velkor-unitsim with extra options and waits for its device path. A stopped unit can
    // be started again; with "--link PATH" it comes back under the same path.
    bool start(const QStringList &options = {});
    void stop();
    QString devicePath() const { return m_path; }
    // The link to it that TESTER.INI names: it goes when the unit stops, so a tool trying the port
    // again never opens the pseudo-terminal of the same number that another test's unit got since.
    QString linkPath() const { return m_link; }
    // For pausing the unit (SIGSTOP) and letting it go on (SIGCONT).
    qint64 processId() const { return m_process.processId(); }
    // A TESTER.INI naming the unit's device, with further sections (Windows-1250) after it.
    bool writeSettings(const QString &folder, int pollMs, const QByteArray &moreSections = {}) const;

private:
    QProcess m_process;
    QString m_path;
    QString m_link;
    QTemporaryDir m_linkFolder;
};
