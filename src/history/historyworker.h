#pragma once
#include "historydatabase.h"
#include "historytarget.h"
#include "visitqueue.h"
#include <QObject>

class QTimer;

// Lives on the history's own thread with its own connection: sends the waiting visits in order,
// answers the page's questions, tries an absent server again every second and listens for the
// change notices other PCs send. Nothing here ever runs on the window's thread.
class HistoryWorker : public QObject
{
    Q_OBJECT
public:
    static constexpr int RetryMs = 1000;

    HistoryWorker(const HistoryTarget &target, const QString &queueFolder, const QString &connectionName);
    ~HistoryWorker() override;

    // Each runs on the worker's thread (the store invokes them there).
    void start();
    void stop();
    void flush();
    void loadUnits(const QString &filter);
    void loadVisits(const QString &unitId);
    void loadVisit(const QString &visitId, bool withPrevious);
    void setVehicle(const QString &unitId, const QString &vehicle);
    void setPassword(const QString &password);
    void nameUnit(const QString &unitId, const UnitIdentity &unit);
    // The reports and backups of `dataFolder` queued as visits, once: `marker` is written after.
    void importFrom(const QString &dataFolder, const QString &marker, const QString &pc);

signals:
    // The history can be reached or not, and how many visits wait in the local queue.
    void stateChanged(bool reachable, int waiting, const QString &problem);
    void notice(const QString &text);  // a damaged SQLite file was put aside
    void passwordNeeded();
    void changed();                    // a visit was stored here or on another PC
    void unitsLoaded(const QString &filter, const QList<UnitSummary> &units);
    void visitsLoaded(const QString &unitId, const QList<VisitSummary> &visits);
    void visitLoaded(const Visit &visit, const Visit &previous);

private:
    bool ensureOpen();
    void tick();
    void report();

    HistoryTarget m_target;
    VisitQueue m_queue;
    HistoryDatabase m_db;
    QTimer *m_retry = nullptr;
    QString m_problem;
    bool m_reachable = false;
    bool m_askedPassword = false;
    int m_ticks = 0;
    int m_lastWaiting = -1;
};
