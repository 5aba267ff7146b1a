#pragma once
#include <QObject>

class QAbstractNativeEventFilter;
class QSocketNotifier;

// A stop by the system (SIGTERM at logout or shutdown, SIGHUP when the session goes, SIGINT from
// a terminal) becomes an ordinary event on the user-interface thread, so the tool can end as
// "Konec" ends it: unsaved changes kept in a file, DTR low, the port and its lock file released.
// On Windows, which has no such signals for a program with a window, the end of the session
// (WM_ENDSESSION) says the same. Made after the application object.
class StopSignals : public QObject
{
    Q_OBJECT
public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

signals:
    void stopRequested();

private:
    QSocketNotifier *m_notifier = nullptr;
    QAbstractNativeEventFilter *m_sessionEnd = nullptr;
};
