#include "visitqueue.h"
#include "cfgfiles/configfile.h"
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QHash>
#include <QSet>

namespace {
QString timeText(const QDateTime &when)
{
    return when.isValid() ? when.toUTC().toString(Qt::ISODateWithMs) : QString();
}
QDateTime timeOf(const QJsonValue &value)
{
    return value.toString().isEmpty() ? QDateTime() : QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
}
QString base64(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toBase64());
}
QByteArray bytesOf(const QJsonValue &value)
{
    return QByteArray::fromBase64(value.toString().toLatin1());
}
// "000000000042_<visit id>.json", or "000000000043_<visit id>+notes.json" for notes alone
QString visitIdOf(const QString &fileName)
{
    return fileName.section(QLatin1Char('_'), 1).section(QLatin1Char('.'), 0, 0);
}
// A visit queued before the unit had a year names its serial as text and no year; its record tells.
std::optional<UnitIdentity> unitOf(const QJsonObject &o, const QByteArray &record)
{
    const QJsonValue serial = o.value(QLatin1String("serial"));
    if (serial.isDouble()) {
        const QJsonValue year = o.value(QLatin1String("year"));
        return UnitIdentity{serial.toInt(), year.isDouble() ? std::optional<int>(year.toInt()) : std::nullopt};
    }
    bool number = false;
    const int old = serial.toString().toInt(&number);
    if (!number)
        return std::nullopt;
    const std::optional<UnitIdentity> told = UnitIdentity::fromRecord(record);
    return UnitIdentity{old, told ? told->year : std::nullopt};
}
const QString NotesMark = QStringLiteral("+notes");
}  // namespace

VisitQueue::VisitQueue(const QString &folder) : m_folder(folder) {}

QStringList VisitQueue::files() const
{
    return QDir(m_folder).entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
}

bool VisitQueue::put(const Visit &visit, QString *error)
{
    return write(visit.id, toJson(visit), error);
}

bool VisitQueue::putNotes(const QString &visitId, const QString &notes, QString *error)
{
    return write(visitId + NotesMark, QJsonDocument(QJsonObject{{"id", visitId}, {"notes", notes}}).toJson(QJsonDocument::Compact), error);
}

bool VisitQueue::write(const QString &key, const QByteArray &json, QString *error)
{
    QDir().mkpath(m_folder);
    const QStringList existing = files();
    const qint64 next = existing.isEmpty() ? 1 : existing.last().section(QLatin1Char('_'), 0, 0).toLongLong() + 1;
    const QString name = QStringLiteral("%1_%2.json").arg(next, 12, 10, QLatin1Char('0')).arg(key);
    QSaveFile file(QDir(m_folder).filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.flush() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

QList<VisitQueue::Entry> VisitQueue::entries() const
{
    QList<Entry> result;
    QHash<QString, int> index;
    for (const QString &name : files()) {
        const QString id = visitIdOf(name);
        if (!index.contains(id)) {
            index.insert(id, int(result.size()));
            result.append(Entry());
        }
        result[index.value(id)].paths.append(QDir(m_folder).filePath(name));
    }
    for (Entry &entry : result) {
        QFile file(entry.paths.last());
        bool ok = false;
        entry.notesOnly = visitIdOf(QFileInfo(file).fileName()).endsWith(NotesMark);
        if (file.open(QIODevice::ReadOnly))
            entry.visit = fromJson(file.readAll(), &ok);
        ok = ok || (entry.notesOnly && !entry.visit.id.isEmpty());
        // A file that cannot be read is dropped; the visit's next change queues it whole again.
        if (!ok)
            entry.visit = Visit();
    }
    return result;
}

int VisitQueue::waitingVisits() const
{
    QSet<QString> ids;
    for (const QString &name : files())
        ids.insert(visitIdOf(name));
    return int(ids.size());
}

QByteArray VisitQueue::toJson(const Visit &v)
{
    QJsonObject o{{"id", v.id},
                  {"unitId", v.unitId},
                  {"serial", v.unit ? QJsonValue(v.unit->serial) : QJsonValue()},
                  {"year", v.unit && v.unit->year ? QJsonValue(*v.unit->year) : QJsonValue()},
                  {"vehicle", v.vehicle},
                  {"customer", v.customer},
                  {"started", timeText(v.started)},
                  {"ended", timeText(v.ended)},
                  {"technician", v.technician},
                  {"pc", v.pc},
                  {"record", base64(v.record)},
                  {"errorsBefore", base64(v.errorsBefore)},
                  {"errorsAfter", base64(v.errorsAfter)},
                  {"serviceStored", timeText(v.serviceStored)},
                  {"notes", v.notes}};
    QJsonArray sets, recordings, reports;
    for (const VisitSet &s : v.sets)
        sets.append(QJsonObject{{"id", s.id}, {"at", timeText(s.at)}, {"kind", int(s.kind)}, {"bytes", base64(ConfigFile::compose(s.set))},
                                {"check", int(s.check)}});
    for (const VisitRecording &r : v.recordings)
        recordings.append(QJsonObject{{"id", r.id}, {"at", timeText(r.at)}, {"name", r.name}, {"lengthMs", r.lengthMs},
                                      {"pc", r.pc}, {"analysis", r.analysis}});
    for (const VisitReport &r : v.reports)
        reports.append(QJsonObject{{"id", r.id}, {"at", timeText(r.at)}, {"name", r.name}, {"pdf", base64(r.pdf)}});
    o.insert(QStringLiteral("sets"), sets);
    o.insert(QStringLiteral("recordings"), recordings);
    o.insert(QStringLiteral("reports"), reports);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

Visit VisitQueue::fromJson(const QByteArray &json, bool *ok)
{
    const QJsonObject o = QJsonDocument::fromJson(json).object();
    Visit v;
    v.id = o.value(QLatin1String("id")).toString();
    v.unitId = o.value(QLatin1String("unitId")).toString();
    v.vehicle = o.value(QLatin1String("vehicle")).toString();
    v.customer = o.value(QLatin1String("customer")).toString();
    v.started = timeOf(o.value(QLatin1String("started")));
    v.ended = timeOf(o.value(QLatin1String("ended")));
    v.technician = o.value(QLatin1String("technician")).toString();
    v.pc = o.value(QLatin1String("pc")).toString();
    v.record = bytesOf(o.value(QLatin1String("record")));
    v.unit = unitOf(o, v.record);
    if (!o.value(QLatin1String("serial")).isDouble() && v.unit && v.unit->year)
        v.unitId = HistoryIds::unitId(*v.unit);
    v.errorsBefore = bytesOf(o.value(QLatin1String("errorsBefore")));
    v.errorsAfter = bytesOf(o.value(QLatin1String("errorsAfter")));
    v.serviceStored = timeOf(o.value(QLatin1String("serviceStored")));
    v.notes = o.value(QLatin1String("notes")).toString();
    for (const QJsonValue &value : o.value(QLatin1String("sets")).toArray()) {
        const QJsonObject s = value.toObject();
        v.sets.append({s.value(QLatin1String("id")).toString(), timeOf(s.value(QLatin1String("at"))),
                       VisitSet::Kind(s.value(QLatin1String("kind")).toInt()),
                       ConfigFile::parse(bytesOf(s.value(QLatin1String("bytes")))).set(),
                       VisitSet::Check(s.value(QLatin1String("check")).toInt())});
    }
    for (const QJsonValue &value : o.value(QLatin1String("recordings")).toArray()) {
        const QJsonObject r = value.toObject();
        v.recordings.append({r.value(QLatin1String("id")).toString(), timeOf(r.value(QLatin1String("at"))),
                             r.value(QLatin1String("name")).toString(), qint64(r.value(QLatin1String("lengthMs")).toDouble()),
                             r.value(QLatin1String("pc")).toString(), r.value(QLatin1String("analysis")).toString()});
    }
    for (const QJsonValue &value : o.value(QLatin1String("reports")).toArray()) {
        const QJsonObject r = value.toObject();
        v.reports.append({r.value(QLatin1String("id")).toString(), timeOf(r.value(QLatin1String("at"))),
                          r.value(QLatin1String("name")).toString(), bytesOf(r.value(QLatin1String("pdf")))});
    }
    if (ok)
        *ok = !v.id.isEmpty() && !v.unitId.isEmpty();
    return v;
}
