#include "logrecorder.h"
#include "link/unitdata.h"
#include "link/unitlink.h"
#include "tuning/paramblock.h"
#include "tuning/paramfields.h"
#include <QDir>

LogRecorder::LogRecorder(UnitLink *link, UnitData *data, QObject *parent)
    : QObject(parent), m_link(link), m_data(data)
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
    m_version = m_data->versionName(m_data->paramBlock[ParamBlock::Verze]);
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
    m_partStartMs = 0;
    m_rows = 0;
    m_markers = 0;
    m_pendingMarkers.clear();
    connect(m_data, &UnitData::liveValuesChanged, this, &LogRecorder::replyRow);
    connect(m_link, &UnitLink::statusReplyMissing, this, [this] { emptyRow(LogFormat::noReply()); });
    connect(m_link, &UnitLink::measurementCodeReceived, this, [this] { emptyRow(LogFormat::measuring()); });
    m_flushTimer.start();
    emit started();
    return true;
}

void LogRecorder::stop()
{
    if (!isRecording())
        return;
    if (!m_pendingMarkers.isEmpty())
        emptyRow("konec záznamu");
    QString problem;
    if (!m_writer.flush(&problem)) {
        fail(problem);
        return;
    }
    m_writer.close(nullptr);
    finish();
}

void LogRecorder::finish()
{
    m_lastElapsedMs = m_clock.elapsed();
    m_flushTimer.stop();
    disconnect(m_data, nullptr, this, nullptr);
    disconnect(m_link, nullptr, this, nullptr);
    emit stopped();
}

int LogRecorder::addMarker()
{
    if (!isRecording())
        return 0;
    ++m_markers;
    m_pendingMarkers << LogFormat::markerField(m_markers, {});
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
    const int waiting = int(m_pendingMarkers.indexOf(QString::number(number)));
    if (waiting >= 0)
        m_pendingMarkers[waiting] = field;
    else
        m_pendingMarkers << field;
}

QString LogRecorder::rangeName() const
{
    // Thresholds that never came from a unit or a file say nothing about the engine.
    if (!m_data->blockValid)
        return {};
    const auto &b = m_data->paramBlock;
    const PowerRange range = activePowerRange(m_data->tpsValue, m_data->tpsRising, b[ParamBlock::TPSVol],
                                              b[ParamBlock::TPSMaly], b[ParamBlock::TPSVelky]);
    return QString::fromUtf8(ParamFields::Ranges[int(range)].caption).trimmed();
}

void LogRecorder::replyRow()
{
    LogRow row;
    row.hasValues = true;
    row.lambda = m_data->lambdaValue;
    row.tps = m_data->tpsValue;
    row.position = m_data->positionValue;
    row.range = rangeName();
    addRow(row);
}

void LogRecorder::emptyRow(const char *status)
{
    LogRow row;
    row.status = QString::fromUtf8(status);
    addRow(row);
}

void LogRecorder::addRow(LogRow &row)
{
    if (!isRecording())
        return;
    row.ms = m_clock.elapsed();
    row.wallClock = QTime::currentTime();
    if (!m_pendingMarkers.isEmpty())
        row.marker = m_pendingMarkers.takeFirst();
    QString problem;
    if (!nextPartIfDue(&problem)) {
        fail(problem);
        return;
    }
    m_line.clear();
    LogFormat::appendRow(m_line, row);
    m_writer.append(m_line);
    ++m_rows;
}

bool LogRecorder::nextPartIfDue(QString *error)
{
    if (m_clock.elapsed() - m_partStartMs < m_limits.maxMs && m_writer.size() < m_limits.maxBytes)
        return true;
    if (!m_writer.flush(error))
        return false;
    m_writer.close(nullptr);
    const QString path = partPath(int(m_files.size()) + 1);
    if (!m_writer.open(path, error))
        return false;
    m_files << path;
    m_partStartMs = m_clock.elapsed();
    return true;
}

void LogRecorder::flush()
{
    QString problem;
    if (!m_writer.flush(&problem))
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
