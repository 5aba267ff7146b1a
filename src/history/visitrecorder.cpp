#include "visitrecorder.h"
#include "historystore.h"
#include "unitname.h"
#include "link/blockread.h"
#include "link/diagnosticsexchange.h"
#include "link/frames.h"
#include "link/levelexchange.h"
#include "link/linkconnection.h"
#include "link/linktransport.h"
#include "link/unitdata.h"
#include <QFile>
#include <algorithm>
#include <QFileInfo>
#include <QSysInfo>
#include <QTimer>

VisitRecorder::VisitRecorder(UnitData *data, const Link &link, HistoryStore *store, QObject *parent)
    : QObject(parent), m_data(data), m_diagnostics(link.diagnostics), m_transport(link.transport), m_store(store),
      m_pc(QSysInfo::machineHostName())
{
    // The record is asked for only when the poll has the line again: a reader or an exchange that
    // took the link meanwhile (the cut-off reader, the oscilloscope) is never interrupted for it.
    connect(link.transport, &LinkTransport::pollDue, this, [this] {
        if (!m_recordWanted || m_transport->readerRunning())
            return;
        m_recordWanted = false;
        QTimer::singleShot(0, m_diagnostics, &DiagnosticsExchange::requestDiagnostics);
    });
    connect(link.connection, &LinkConnection::healthChanged, this, [this](LinkConnection::Health health) {
        connectionChanged(health);
    });
    connect(link.blockRead, &BlockRead::blockReceived, this, [this] { m_blockPending = true; });
    connect(link.levels, &LevelExchange::levelsReceived, this, &VisitRecorder::levelsSettled);
    connect(link.levels, &LevelExchange::levelsReset, this, &VisitRecorder::levelsSettled);
    connect(link.blockWrite, &BlockWrite::writeEnded, this, &VisitRecorder::writeEnded);
    connect(link.diagnostics, &DiagnosticsExchange::diagnosticsReceived, this, &VisitRecorder::takeRecord);
    connect(link.diagnostics, &DiagnosticsExchange::diagnosticsMissing, this, &VisitRecorder::recordMissing);
    connect(link.diagnostics, &DiagnosticsExchange::serviceChecked, this, [this](bool stored) {
        if (stored && isOpen()) {
            m_visit.serviceStored = m_now();
            save();
        }
    });
    connect(link.transport, &LinkTransport::frameWritten, this, [this](const QByteArray &frame) {
        if (frame.size() == 3 && quint8(frame.at(1)) == UnitCode::ClearErrors)
            m_clearPending = true;
    });
}

void VisitRecorder::connectionChanged(LinkConnection::Health health)
{
    using Health = LinkConnection::Health;
    switch (health) {
    case Health::Waiting:
        return;
    case Health::Answering:
        // Back after a silence: the cable may have moved to another car, and only the record
        // tells. Asked now, as no block read may follow.
        if (m_silenceSinceRecord) {
            m_silenceSinceRecord = false;
            m_recordAsked = true;
            m_recordWanted = true;
        }
        return;
    case Health::Silent:
        // A unit without levels leaves the line silent while its level read waits in vain, so a
        // silence keeps the block read and a record question still to come; only a record read
        // before it must be read again.
        m_readSinceRecord.reset();
        if (m_recordRead) {
            m_recordRead = false;
            m_recordAsked = false;
            m_silenceSinceRecord = true;
        }
        return;
    default:
        // Unplugged: the next connection may bring another unit, whose record must be read.
        m_recordRead = false;
        m_recordAsked = false;
        m_recordWanted = false;
        m_silenceSinceRecord = false;
        m_blockPending = false;
        m_readSinceRecord.reset();
    }
}

void VisitRecorder::levelsSettled()
{
    if (!m_blockPending)
        return;
    m_blockPending = false;
    const VisitSet set{HistoryIds::newId(), m_now(), VisitSet::Kind::Read, m_data->set().value(), VisitSet::Check::Verified};
    if (isOpen() && m_recordRead) {
        if (!m_visit.firstRead()) {
            m_visit.sets.append(set);
            save();
        } else {
            m_readSinceRecord = set;
        }
    } else if (m_early.isEmpty() || m_early.first().kind != VisitSet::Kind::Read) {
        m_early.prepend(set);
    }
    if (!m_recordRead && !m_recordAsked) {
        m_recordAsked = true;
        m_recordWanted = true;
    }
}

void VisitRecorder::takeRecord(const QByteArray &record)
{
    const std::optional<UnitIdentity> unit = UnitIdentity::fromRecord(record);
    if (!unit)
        return;
    m_recordRead = true;
    const bool adopt = isOpen() && !m_visit.unit;
    if (adopt) {
        m_visit.unit = unit;
        m_visit.unitId = HistoryIds::unitId(*unit);
    } else if (!isOpen() || m_visit.unit != unit) {
        open(unit);
        const bool earlyRead = std::any_of(m_early.cbegin(), m_early.cend(), [](const VisitSet &s) { return s.kind == VisitSet::Kind::Read; });
        if (m_readSinceRecord && !earlyRead)
            m_early.prepend(*m_readSinceRecord);
    }
    m_readSinceRecord.reset();
    // The same unit back after an unplug: what came before its record joins its visit.
    for (const VisitSet &set : std::as_const(m_early)) {
        if (set.kind == VisitSet::Kind::Write || !m_visit.firstRead())
            m_visit.sets.append(set);
    }
    m_early.clear();
    if (m_visit.errorsBefore.isEmpty())
        m_visit.errorsBefore =
            m_clearPending && !m_data->record().beforeClearing().isEmpty() ? m_data->record().beforeClearing() : record;
    if (m_clearPending)
        m_visit.errorsAfter = record;
    m_clearPending = false;
    m_visit.record = record;
    save();
}

void VisitRecorder::recordMissing()
{
    // Only the tool's own question counts: the unit that stays silent is kept without a number.
    if (!m_recordAsked || m_recordRead || isOpen())
        return;
    open(std::nullopt);
    m_visit.unitId = HistoryIds::newId();
    save();
}

void VisitRecorder::open(const std::optional<UnitIdentity> &unit)
{
    closeVisit();
    m_visit = Visit();
    m_visit.id = HistoryIds::newId();
    m_visit.unit = unit;
    if (unit)
        m_visit.unitId = HistoryIds::unitId(*unit);
    m_visit.started = m_now();
    m_visit.technician = m_technician;
    m_visit.pc = m_pc;
}

void VisitRecorder::writeEnded(BlockWrite::Result result)
{
    const VisitSet::Check check = result == BlockWrite::Result::Verified ? VisitSet::Check::Verified
                                  : result == BlockWrite::Result::Wrong  ? VisitSet::Check::Wrong
                                                                         : VisitSet::Check::Unverified;
    const VisitSet set{HistoryIds::newId(), m_now(), VisitSet::Kind::Write, m_data->set().value(), check};
    if (!isOpen()) {
        m_early.append(set);
        return;
    }
    m_visit.sets.append(set);
    save();
}

void VisitRecorder::reportMade(const QString &path)
{
    QFile file(path);
    if (!isOpen() || !file.open(QIODevice::ReadOnly))
        return;
    m_visit.reports.append({HistoryIds::newId(), m_now(), QFileInfo(path).fileName(), file.readAll()});
    save();
}

void VisitRecorder::recordingMade(const QString &path, qint64 lengthMs, const QString &analysis)
{
    if (!isOpen())
        return;
    m_visit.recordings.append({HistoryIds::newId(), m_now(), QFileInfo(path).fileName(), lengthMs, m_pc, analysis});
    save();
}

void VisitRecorder::recordingAnalysed(const QString &path, const QString &analysis)
{
    const QString name = QFileInfo(path).fileName();
    for (VisitRecording &r : m_visit.recordings) {
        if (r.name == name && r.pc == m_pc) {
            r.analysis = analysis;
            save();
            return;
        }
    }
}

void VisitRecorder::setTechnician(const QString &name)
{
    m_technician = name;
    if (!isOpen() || m_visit.technician == name)
        return;
    m_visit.technician = name;
    save();
}

void VisitRecorder::setVehicle(const QString &vehicle)
{
    if (!isOpen() || m_visit.vehicle == vehicle)
        return;
    m_visit.vehicle = vehicle;
    save();
}

void VisitRecorder::setCustomer(const QString &customer, const QString &vehicle)
{
    if (!isOpen() || (m_visit.customer == customer && (vehicle.isEmpty() || m_visit.vehicle == vehicle)))
        return;
    m_visit.customer = customer;
    if (!vehicle.isEmpty())
        m_visit.vehicle = vehicle;
    save();
}

void VisitRecorder::nameUnit(const UnitIdentity &unit)
{
    if (!isOpen() || m_visit.unit)
        return;
    m_visit.unit = unit;
    m_visit.unitId = HistoryIds::unitId(unit);
    save();
}

void VisitRecorder::setNotes(const QString &notes)
{
    if (!isOpen() || m_visit.notes == notes)
        return;
    m_visit.notes = notes;
    save();
}

void VisitRecorder::closeVisit()
{
    if (!isOpen())
        return;
    m_visit.ended = m_now();
    save();
    m_visit = Visit();
}

void VisitRecorder::save()
{
    m_store->saveVisit(m_visit);
    emit visitChanged();
}
