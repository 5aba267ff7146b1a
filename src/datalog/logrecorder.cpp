#include "logrecorder.h"
#include "toolsetup/toolsetup.h"
#include "link/unitdata.h"
#include "link/measurementexchange.h"
#include "link/linktransport.h"
#include "link/statuspoll.h"
#include "tuning/paramblock.h"
#include "tuning/paramfields.h"
#include <QDir>
#include <algorithm>
#include <array>

LogRecorder::LogRecorder(StatusPoll *status, LinkTransport *link, MeasurementExchange *measurement, UnitData *data, const ToolSetup *setup,
                         QObject *parent)
    : QObject(parent), m_status(status), m_link(link), m_measurement(measurement), m_data(data), m_setup(setup)
{
    m_flushTimer.setInterval(FlushMs);
    connect(&m_flushTimer, &QTimer::timeout, this, &LogRecorder::flush);
}

LogRecorder::~LogRecorder()
{
    stop();
}

QString LogRecorder::partPath(int part) const
{
    return QDir(m_folder).filePath(LogFormat::fileName(m_start, m_version, part));
}

bool LogRecorder::start(const QString &folder, QString *error)
{
    if (isRecording())
        return true;
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("Záznam nelze začít: složku %1 nelze vytvořit.").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    m_folder = folder;
    m_version = m_setup->versionName(m_data->set().paramByte(ParamBlock::SetVersion));
    m_start = QDateTime::currentDateTime();
    // Started twice within a second: the later one is named a second on, never appended.
    while (QFile::exists(partPath(1)))
        m_start = m_start.addSecs(1);
    QString problem;
    if (!m_writer.open(partPath(1), &problem)) {
        if (error)
            *error = QStringLiteral("Záznam nelze začít: %1.\nSoubor: %2").arg(problem, QDir::toNativeSeparators(partPath(1)));
        return false;
    }
    m_files = QStringList{m_writer.path()};
    m_lastWritten = QTime::currentTime();
    m_clock.start();
    m_waiting.clear();
    m_writtenMs = m_partStartMs = 0;
    m_rows = 0;
    m_markers = 0;
    m_pendingMarkers.clear();
    m_feeds = {connect(m_status, &StatusPoll::liveValues, this, &LogRecorder::replyRow),
               connect(m_status, &StatusPoll::statusReplyMissing, this, &LogRecorder::missingRow),
               connect(m_measurement, &MeasurementExchange::measurementCodeReceived, this, &LogRecorder::measuringRow)};
    m_flushTimer.start();
    if (m_link)
        m_link->setPollAtMost(m_limits.pollMs);
    if (!m_linkAnswering)
        statusRow(LogFormat::linkLost());
    emit started();
    return true;
}

void LogRecorder::stop()
{
    if (!isRecording())
        return;
    placeMarkerRows(m_clock.elapsed());
    QString problem;
    if (!write(0, &problem) || !m_writer.close(&problem)) {
        fail(problem);
        return;
    }
    finish();
}

void LogRecorder::finish()
{
    m_flushTimer.stop();
    if (m_link)
        m_link->setPollAtMost(0);
    m_waiting.clear();
    // By the connections, not the senders: at the window's end they may be gone before the recorder.
    for (const QMetaObject::Connection &feed : std::as_const(m_feeds))
        disconnect(feed);
    m_feeds.clear();
    emit stopped();
}

int LogRecorder::addMarker()
{
    if (!isRecording())
        return 0;
    ++m_markers;
    m_pendingMarkers.append({LogFormat::markerField(m_markers, {}), m_clock.elapsed(), QTime::currentTime()});
    return m_markers;
}

void LogRecorder::setMarkerText(int number, const QString &text)
{
    if (!isRecording() || number < 1 || number > m_markers)
        return;
    const QString field = LogFormat::markerField(number, text);
    if (field == QString::number(number))
        return;
    // Still waiting for its row: the text goes with it.
    for (PendingMarker &pending : m_pendingMarkers) {
        if (pending.field == QString::number(number)) {
            pending.field = field;
            return;
        }
    }
    m_pendingMarkers.append({field, m_clock.elapsed(), QTime::currentTime()});
}

void LogRecorder::placeMarkerRows(qint64 untilMs)
{
    while (!m_pendingMarkers.isEmpty() && m_pendingMarkers.front().ms <= untilMs) {
        const PendingMarker marker = m_pendingMarkers.takeFirst();
        LogRow row;
        row.ms = std::max(marker.ms, m_writtenMs);
        row.wallClock = marker.wallClock;
        row.marker = marker.field;
        row.status = QString::fromUtf8(LogFormat::markerOnly());
        insertAtItsTime(row);
    }
}

void LogRecorder::setLinkAnswering(bool answering)
{
    if (answering == m_linkAnswering)
        return;
    m_linkAnswering = answering;
    statusRow(answering ? LogFormat::linkBack() : LogFormat::linkLost());
}

void LogRecorder::statusRow(const char *status)
{
    LogRow row;
    row.status = QString::fromUtf8(status);
    append(row);
}

QString LogRecorder::rangeName(int tps) const
{
    // Thresholds that never came from a unit or a file say nothing about the engine.
    if (!m_data->set().blockValid())
        return {};
    // Made once, not for every status reply.
    static const auto names = [] {
        std::array<QString, PowerRangeCount> n;
        for (int i = 0; i < PowerRangeCount; ++i)
            n[std::size_t(i)] = QString::fromUtf8(ParamFields::Ranges[i].caption).trimmed();
        return n;
    }();
    const UnitSet &b = m_data->set();
    const PowerRange range = activePowerRange(tps, b.tpsRising(), b.paramByte(ParamBlock::TpsThreshold1),
                                              b.paramByte(ParamBlock::TpsThreshold2), b.paramByte(ParamBlock::TpsThreshold3));
    return names[std::size_t(range)];
}

void LogRecorder::replyRow(const LiveValues &values)
{
    LogRow row;
    row.hasValues = true;
    row.lambda = values.lambda;
    row.tps = values.tps;
    row.position = values.position;
    row.range = rangeName(values.tps);
    append(row);
}

void LogRecorder::measuringRow()
{
    statusRow(LogFormat::measuring());
}

void LogRecorder::addStatusRow(const QString &status)
{
    LogRow row;
    row.status = status;
    append(row);
}

void LogRecorder::missingRow(qint64 polledAt)
{
    if (!isRecording())
        return;
    // At the time of its poll, among the rows still waiting; before the recording began it is
    // none of this recording's business.
    const qint64 now = m_clock.elapsed();
    const qint64 ago = std::max<qint64>(0, m_clock.msecsSinceReference() + now - polledAt);
    const qint64 atMs = now - ago;
    if (atMs < 0)
        return;
    LogRow row;
    row.ms = std::max(atMs, m_writtenMs);
    row.wallClock = QTime::currentTime().addMSecs(int(-ago));
    row.status = QString::fromUtf8(LogFormat::noReply());
    if (m_waiting.empty() || m_waiting.back().ms <= row.ms)
        append(row, false);
    else
        insertAtItsTime(row);
}

void LogRecorder::insertAtItsTime(LogRow row)
{
    const auto at = std::upper_bound(m_waiting.begin(), m_waiting.end(), row.ms,
                                     [](qint64 ms, const LogRow &r) { return ms < r.ms; });
    m_waiting.insert(at, row);
    ++m_rows;
}

void LogRecorder::append(LogRow row, bool stampNow)
{
    if (!isRecording())
        return;
    if (stampNow) {
        row.ms = m_clock.elapsed();
        row.wallClock = QTime::currentTime();
    }
    placeMarkerRows(row.ms - MarkerReachMs);
    if (!m_waiting.empty())
        row.ms = std::max(row.ms, m_waiting.back().ms);
    // A lost reply told late stands at the time of its poll: a marker set after that is not its.
    if (!m_pendingMarkers.isEmpty() && m_pendingMarkers.front().ms <= row.ms)
        row.marker = m_pendingMarkers.takeFirst().field;
    m_waiting.push_back(row);
    ++m_rows;
}

bool LogRecorder::write(qint64 holdMs, QString *error)
{
    const qint64 until = m_clock.elapsed() - holdMs;
    while (!m_waiting.empty() && m_waiting.front().ms <= until) {
        const LogRow &row = m_waiting.front();
        if (!nextPartIfDue(row.ms, error))
            return false;
        m_line.clear();
        LogFormat::appendRow(m_line, row);
        m_writer.append(m_line);
        m_writtenMs = row.ms;
        m_waiting.pop_front();
    }
    return true;
}

bool LogRecorder::nextPartIfDue(qint64 rowMs, QString *error)
{
    if (rowMs - m_partStartMs < m_limits.maxMs && m_writer.size() < m_limits.maxBytes)
        return true;
    if (!m_writer.close(error))
        return false;
    const QString path = partPath(int(m_files.size()) + 1);
    if (!m_writer.open(path, error))
        return false;
    m_files << path;
    m_partStartMs = rowMs;
    return true;
}

void LogRecorder::flush()
{
    if (!isRecording())
        return;
    placeMarkerRows(m_clock.elapsed() - MarkerReachMs);
    QString problem;
    if (!write(m_limits.holdMs, &problem) || !m_writer.flush(&problem))
        fail(problem);
    else
        m_lastWritten = QTime::currentTime();
}

void LogRecorder::fail(const QString &problem)
{
    const QString file = QDir::toNativeSeparators(m_files.value(m_files.size() - 1));
    const QString kept = m_lastWritten.toString(QStringLiteral("HH:mm:ss"));
    m_writer.abandon();
    finish();
    emit failed(QStringLiteral("Záznam byl ukončen: %1.\nVše zaznamenané do %2 zůstává v souboru %3.")
                    .arg(problem, kept, file));
}
