#include "historyworker.h"
#include "historyimport.h"
#include "historyschema.h"
#include "serverlogin.h"
#include <QFile>
#include <QSqlDriver>
#include <QTimer>

HistoryWorker::HistoryWorker(const HistoryTarget &target, const QString &queueFolder, const QString &connectionName)
    : m_target(target), m_queue(queueFolder), m_db(connectionName)
{
}

HistoryWorker::~HistoryWorker() = default;

void HistoryWorker::start()
{
    m_retry = new QTimer(this);
    m_retry->setInterval(RetryMs);
    connect(m_retry, &QTimer::timeout, this, &HistoryWorker::tick);
    m_retry->start();
    ensureOpen();
    flush();
}

void HistoryWorker::stop()
{
    if (m_retry)
        m_retry->stop();
    m_db.close();
}

bool HistoryWorker::ensureOpen()
{
    if (m_db.isOpen())
        return true;
    QString error, noticeText;
    const bool opened = m_db.open(m_target, &error, &noticeText);
    if (!noticeText.isEmpty())
        emit notice(noticeText);
    if (!opened) {
        m_problem = error;
        m_reachable = false;
        // The server's SQLSTATE, not its words: a server that speaks Czech refuses in Czech.
        if (m_target.isServer() && !m_askedPassword && ServerLogin::refused(m_target, 3)) {
            m_askedPassword = true;
            emit passwordNeeded();
        }
        report();
        return false;
    }
    m_problem.clear();
    m_reachable = true;
    if (m_target.isServer()) {
        QSqlDriver *driver = m_db.db().driver();
        driver->subscribeToNotification(QString::fromLatin1(HistorySchema::channel()));
        connect(driver, &QSqlDriver::notification, this, [this] { emit changed(); });
    }
    report();
    // What others stored while this PC could not listen.
    emit changed();
    return true;
}

void HistoryWorker::tick()
{
    ++m_ticks;
    if (!m_db.isOpen()) {
        ensureOpen();
    } else if (m_target.isServer() && m_ticks % 2 == 0 && !m_db.ping()) {
        m_db.close();
        m_reachable = false;
        m_problem = QStringLiteral("Spojení s kartotékou %1 se přerušilo.").arg(m_target.describe());
        report();
    }
    flush();
}

void HistoryWorker::flush()
{
    if (m_queue.waitingVisits() > 0 && ensureOpen()) {
        for (const VisitQueue::Entry &entry : m_queue.entries()) {
            if (!entry.visit.id.isEmpty()) {
                QString error;
                const bool saved = entry.notesOnly ? m_db.setNotes(entry.visit.id, entry.visit.notes, &error)
                                                   : m_db.saveVisit(entry.visit, &error);
                if (!saved) {
                    m_problem = error;
                    // A connection that broke is opened again on the next try; the file stays.
                    if (m_target.isServer() && !m_db.ping()) {
                        m_db.close();
                        m_reachable = false;
                    }
                    break;
                }
            }
            for (const QString &path : entry.paths)
                QFile::remove(path);
        }
    }
    report();
}

void HistoryWorker::report()
{
    const int waiting = m_queue.waitingVisits();
    emit stateChanged(m_reachable, waiting, m_problem);
    m_lastWaiting = waiting;
}

void HistoryWorker::loadUnits(const QString &filter)
{
    emit unitsLoaded(filter, ensureOpen() ? m_db.units(filter) : QList<UnitSummary>());
}

void HistoryWorker::loadVisits(const QString &unitId)
{
    emit visitsLoaded(unitId, ensureOpen() ? m_db.visits(unitId) : QList<VisitSummary>());
}

void HistoryWorker::loadVisit(const QString &visitId, bool withPrevious)
{
    if (!ensureOpen()) {
        emit visitLoaded({}, {});
        return;
    }
    const Visit visit = m_db.visit(visitId);
    emit visitLoaded(visit, withPrevious && !visit.id.isEmpty() ? m_db.previousVisit(visit.unitId, visit.started) : Visit());
}

void HistoryWorker::setVehicle(const QString &unitId, const QString &vehicle)
{
    QString error;
    if (ensureOpen() && m_db.setVehicle(unitId, vehicle, &error))
        emit changed();
}

void HistoryWorker::nameUnit(const QString &unitId, const UnitIdentity &unit)
{
    QString error;
    if (ensureOpen() && m_db.nameUnit(unitId, unit, &error))
        emit changed();
}

void HistoryWorker::setPassword(const QString &password)
{
    m_target.password = password;
    ensureOpen();
    flush();
}

void HistoryWorker::importFrom(const QString &dataFolder, const QString &marker, const QString &pc)
{
    if (QFile::exists(marker))
        return;
    for (const Visit &visit : HistoryImport::visitsIn(dataFolder, pc))
        m_queue.put(visit);
    QFile done(marker);
    if (done.open(QIODevice::WriteOnly))
        done.write("Zálohy a protokoly této složky jsou v kartotéce.\n");
    flush();
}
