#pragma once
#include "link/blockwrite.h"
#include "link/linkconnection.h"
#include "visit.h"
#include <QObject>
#include <functional>

class BlockRead;
class DiagnosticsExchange;
class HistoryStore;
class LevelExchange;
class LinkTransport;
class UnitData;

// Keeps the visit of the unit on the line from what the link already says. A unit is known by
// the serial number and year of its diagnostic record; after the first block read of a connection
// (the unit answering again after silence counts as one: the cable may be on another car) the
// record is read once, when it was not read on that connection yet. The visit stays open while the
// unit stays connected or comes back; a record of another unit closes it and opens that unit's
// visit, which keeps the set read just before the record. Every change is handed to the store at once.
class VisitRecorder : public QObject
{
    Q_OBJECT
public:
    struct Link
    {
        LinkTransport *transport;
        LinkConnection *connection;
        BlockRead *blockRead;
        LevelExchange *levels;
        BlockWrite *blockWrite;
        DiagnosticsExchange *diagnostics;
    };
    VisitRecorder(UnitData *data, const Link &link, HistoryStore *store, QObject *parent = nullptr);

    // The technician of the visits from now on, the open one included.
    void setTechnician(const QString &name);
    QString technician() const { return m_technician; }
    void setPc(const QString &name) { m_pc = name; }
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }

    // A report was made as this PDF.
    void reportMade(const QString &path);
    // A live-value recording ended.
    void recordingMade(const QString &path, qint64 lengthMs, const QString &analysis = {});
    // The analysis of a recording of the open visit came (it is made aside, after the recording ended).
    void recordingAnalysed(const QString &path, const QString &analysis);
    // The same, timed from recordingStarted().
    void recordingStarted() { m_recordingStart = m_now(); }
    void recordingStopped(const QString &path) { recordingMade(path, m_recordingStart.msecsTo(m_now())); }
    // The vehicle (plate or VIN) and notes as the technician types them for the open visit.
    void setVehicle(const QString &vehicle);
    void setNotes(const QString &notes);
    // The customer and vehicle the report's dialog was answered with; an empty vehicle keeps the one known.
    void setCustomer(const QString &customer, const QString &vehicle);
    // The open visit's unit, kept without a number, was named by hand.
    void nameUnit(const UnitIdentity &unit);
    // The end of the tool: the open visit is closed and kept.
    void closeVisit();

    bool isOpen() const { return !m_visit.id.isEmpty(); }
    // The unit on the line when its record came on this connection; none while it may be another.
    std::optional<UnitIdentity> unitOnLine() const { return isOpen() && m_recordRead ? m_visit.unit : std::nullopt; }
    const Visit &visit() const { return m_visit; }

signals:
    void visitChanged();

private:
    void connectionChanged(LinkConnection::Health health);
    void levelsSettled();
    void takeRecord(const QByteArray &record);
    void recordMissing();
    void writeEnded(BlockWrite::Result result);
    void open(const std::optional<UnitIdentity> &unit);
    void save();

    UnitData *m_data;
    DiagnosticsExchange *m_diagnostics;
    LinkTransport *m_transport;
    HistoryStore *m_store;
    std::function<QDateTime()> m_now = [] { return QDateTime::currentDateTime(); };
    QString m_technician;
    QString m_pc;
    Visit m_visit;
    // Sets read or written before the unit was known; they belong to the visit that opens next.
    QList<VisitSet> m_early;
    // A set read on this connection after the open visit had its first: the unit's again, unless
    // the next record names another unit, whose first set it then is.
    std::optional<VisitSet> m_readSinceRecord;
    bool m_blockPending = false;     // a block came, its levels not yet settled
    bool m_recordRead = false;       // on this connection
    bool m_silenceSinceRecord = false;  // the line fell silent; the unit answering next may be another
    bool m_recordAsked = false;      // the tool asked for it by itself on this connection
    bool m_recordWanted = false;     // to be asked at the next poll tick that finds the line free
    bool m_clearPending = false;
    QDateTime m_recordingStart;     // the error memory was cleared; its read-back is awaited
};
