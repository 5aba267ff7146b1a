#pragma once
#include <QObject>

class QLocalServer;

// The running copy listens on a local socket beside its lock; a second start knocks there so the
// running window comes to the front, then leaves.
class InstanceBeacon : public QObject
{
    Q_OBJECT
public:
    explicit InstanceBeacon(const QString &name = QStringLiteral("mardunKX"), QObject *parent = nullptr);

    // For the copy that holds the lock. A socket left by a crashed copy is replaced.
    bool listen();
    // For a second start: true when the running copy got the knock.
    bool knock(int timeoutMs = 1000) const;

    // Where the beacon of `name` listens for the temp folder `tempFolder` (on Unix a socket's
    // path, which must stay within the system's limit).
    static QString socketName(const QString &name, const QString &tempFolder);
    QString socketName() const { return m_name; }

signals:
    void showRequested();

private:
    QString m_name;
    QLocalServer *m_server = nullptr;
};
