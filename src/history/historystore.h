#pragma once
#include "historytarget.h"
#include "visit.h"
#include <QObject>

class HistoryWorker;
class QThread;

// The history as the window uses it: every call returns at once, the work goes to the history's
// own thread and the answers come back as signals. A visit to keep goes into the local queue
// first, so nothing is lost while the history cannot be reached.
class HistoryStore : public QObject
{
    Q_OBJECT
public:
    HistoryStore(const HistoryTarget &target, const QString &queueFolder, QObject *parent = nullptr);
    ~HistoryStore() override;

    void start();
    HistoryTarget target() const { return m_target; }
    // The visit as it now stands; a later call for the same visit replaces what is not yet sent.
    void saveVisit(const Visit &visit);
    // A closed visit's notes, and nothing else of it.
    void saveNotes(const QString &visitId, const QString &notes);
    void requestUnits(const QString &filter);
    void requestVisits(const QString &unitId);
    // The visit, and when asked the unit's visit before it.
    void requestVisit(const QString &visitId, bool withPrevious = false);
    void setVehicle(const QString &unitId, const QString &vehicle);
    void providePassword(const QString &password);
    // A unit kept as "bez čísla" gets its number; its visits go to that unit.
    void nameUnit(const QString &unitId, const UnitIdentity &unit);
    // On the first start in a data folder: its reports and backups become visits where they name a unit.
    void importOnce(const QString &dataFolder, const QString &pc);

    bool reachable() const { return m_reachable; }
    int waiting() const { return m_waiting; }
    // The visits in the queue folder now (waiting() is what the history's thread last said).
    int queued() const;
    QString problem() const { return m_problem; }
    // For the bottom line: empty while the history is reachable.
    QString statusText() const;
    // "Kartotéka nedostupná – 2 návštěvy čekají"
    static QString unreachableText(int waiting);

signals:
    void stateChanged();
    void notice(const QString &text);
    void passwordNeeded();
    void changed();
    void unitsLoaded(const QString &filter, const QList<UnitSummary> &units);
    void visitsLoaded(const QString &unitId, const QList<VisitSummary> &visits);
    void visitLoaded(const Visit &visit, const Visit &previous);

private:
    HistoryTarget m_target;
    QString m_queueFolder;
    QThread *m_thread;
    HistoryWorker *m_worker;
    bool m_reachable = false;
    int m_waiting = 0;
    QString m_problem;
};
