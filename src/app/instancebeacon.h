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

signals:
    void showRequested();

private:
    QString m_name;
    QLocalServer *m_server = nullptr;
};
