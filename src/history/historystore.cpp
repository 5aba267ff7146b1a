#include "historystore.h"
#include "historyworker.h"
#include "visitqueue.h"
#include <QAtomicInt>
#include <QDir>
#include <QThread>

namespace {
QString nextConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("velkor-history-%1").arg(counter.fetchAndAddRelaxed(1));
}
}  // namespace

HistoryStore::HistoryStore(const HistoryTarget &target, const QString &queueFolder, QObject *parent)
    : QObject(parent), m_target(target), m_queueFolder(queueFolder), m_thread(new QThread(this)),
      m_worker(new HistoryWorker(target, queueFolder, nextConnectionName()))
{
    qRegisterMetaType<Visit>();
    qRegisterMetaType<QList<UnitSummary>>();
    qRegisterMetaType<QList<VisitSummary>>();
    m_thread->setObjectName(QStringLiteral("history"));
    m_worker->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &HistoryWorker::stateChanged, this, [this](bool reachable, int waiting, const QString &problem) {
        if (reachable == m_reachable && waiting == m_waiting && problem == m_problem)
            return;
        m_reachable = reachable;
        m_waiting = waiting;
        m_problem = problem;
        emit stateChanged();
    });
    connect(m_worker, &HistoryWorker::notice, this, &HistoryStore::notice);
    connect(m_worker, &HistoryWorker::passwordNeeded, this, &HistoryStore::passwordNeeded);
    connect(m_worker, &HistoryWorker::changed, this, &HistoryStore::changed);
    connect(m_worker, &HistoryWorker::unitsLoaded, this, &HistoryStore::unitsLoaded);
    connect(m_worker, &HistoryWorker::visitsLoaded, this, &HistoryStore::visitsLoaded);
    connect(m_worker, &HistoryWorker::visitLoaded, this, &HistoryStore::visitLoaded);
}

HistoryStore::~HistoryStore()
{
    if (m_thread->isRunning()) {
        QMetaObject::invokeMethod(m_worker, [w = m_worker] { w->stop(); }, Qt::BlockingQueuedConnection);
        m_thread->quit();
        m_thread->wait();
    } else {
        delete m_worker;
    }
}

void HistoryStore::start()
{
    m_thread->start();
    QMetaObject::invokeMethod(m_worker, [w = m_worker] { w->start(); });
}

void HistoryStore::saveVisit(const Visit &visit)
{
    QString error;
    if (!VisitQueue(m_queueFolder).put(visit, &error))
        qWarning("Velkor: návštěvu nelze zařadit do fronty kartotéky: %s", qPrintable(error));
    QMetaObject::invokeMethod(m_worker, [w = m_worker] { w->flush(); });
}

void HistoryStore::saveNotes(const QString &visitId, const QString &notes)
{
    QString error;
    if (!VisitQueue(m_queueFolder).putNotes(visitId, notes, &error))
        qWarning("Velkor: poznámky nelze zařadit do fronty kartotéky: %s", qPrintable(error));
    QMetaObject::invokeMethod(m_worker, [w = m_worker] { w->flush(); });
}

void HistoryStore::requestUnits(const QString &filter)
{
    QMetaObject::invokeMethod(m_worker, [w = m_worker, filter] { w->loadUnits(filter); });
}

void HistoryStore::requestVisits(const QString &unitId)
{
    QMetaObject::invokeMethod(m_worker, [w = m_worker, unitId] { w->loadVisits(unitId); });
}

void HistoryStore::requestVisit(const QString &visitId, bool withPrevious)
{
    QMetaObject::invokeMethod(m_worker, [w = m_worker, visitId, withPrevious] { w->loadVisit(visitId, withPrevious); });
}

void HistoryStore::setVehicle(const QString &unitId, const QString &vehicle)
{
    QMetaObject::invokeMethod(m_worker, [w = m_worker, unitId, vehicle] { w->setVehicle(unitId, vehicle); });
}

void HistoryStore::nameUnit(const QString &unitId, const UnitIdentity &unit)
{
    QMetaObject::invokeMethod(m_worker, [w = m_worker, unitId, unit] { w->nameUnit(unitId, unit); });
}

void HistoryStore::providePassword(const QString &password)
{
    QMetaObject::invokeMethod(m_worker, [w = m_worker, password] { w->setPassword(password); });
}

void HistoryStore::importOnce(const QString &dataFolder, const QString &pc)
{
    const QString marker = QDir(dataFolder).filePath(QStringLiteral("historie-import.txt"));
    QMetaObject::invokeMethod(m_worker, [w = m_worker, dataFolder, marker, pc] { w->importFrom(dataFolder, marker, pc); });
}

int HistoryStore::queued() const
{
    return VisitQueue(m_queueFolder).waitingVisits();
}

QString HistoryStore::statusText() const
{
    return m_reachable ? QString() : unreachableText(m_waiting);
}

QString HistoryStore::unreachableText(int waiting)
{
    if (waiting <= 0)
        return QStringLiteral("Kartotéka nedostupná");
    // Czech: 1 návštěva čeká, 2–4 návštěvy čekají, 0 and 5 and more návštěv čeká.
    const QString count = waiting == 1 ? QStringLiteral("návštěva čeká")
                          : waiting <= 4 ? QStringLiteral("návštěvy čekají")
                                         : QStringLiteral("návštěv čeká");
    return QStringLiteral("Kartotéka nedostupná – %1 %2").arg(waiting).arg(count);
}
