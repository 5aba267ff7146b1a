#include "recordingcontrol.h"
#include "toolsetup/toolsetup.h"
#include "logrecorder.h"
#include "link/linkconnection.h"
#include "prompts/prompts.h"
#include "link/unitdata.h"
#include <QLabel>
#include <QPushButton>

namespace {
// 37 412: blanks between the thousands, as the status shows them.
QString grouped(qint64 n)
{
    QString digits = QString::number(n);
    for (int at = int(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(' '));
    return digits;
}

QString rowsWord(qint64 n)
{
    if (n == 1)
        return QStringLiteral("řádek");
    if (n >= 2 && n <= 4)
        return QStringLiteral("řádky");
    return QStringLiteral("řádků");
}
}

RecordingControl::RecordingControl(StatusPoll *status, LinkTransport *link, MeasurementExchange *measurement, UnitData *data,
                                   const ToolSetup *setup, Prompts *prompts, QObject *parent)
    : QObject(parent), m_setup(setup), m_prompts(prompts),
      m_recorder(new LogRecorder(status, link, measurement, data, setup, this))
{
    m_clock.setInterval(1000);
    connect(&m_clock, &QTimer::timeout, this, &RecordingControl::showState);
    connect(m_recorder, &LogRecorder::started, this, [this] {
        m_clock.start();
        showState();
        emit recordingsChanged();
    });
    connect(m_recorder, &LogRecorder::stopped, this, [this] {
        m_clock.stop();
        showState();
        emit recordingsChanged();
    });
    // Said after the reply that hit the full disk has been handled: a box must not open a nested
    // event loop in the receive path.
    connect(m_recorder, &LogRecorder::failed, this,
            [this](const QString &message) { m_prompts->error(QStringLiteral("Záznam"), message); }, Qt::QueuedConnection);
}

void RecordingControl::attach(QPushButton *record, QPushButton *marker, QLabel *status)
{
    m_record = record;
    m_marker = marker;
    m_status = status;
    connect(record, &QPushButton::clicked, this, &RecordingControl::toggleRecording);
    connect(marker, &QPushButton::clicked, this, &RecordingControl::placeMarker);
    showState();
}

void RecordingControl::watchConnection(LinkConnection *connection)
{
    const auto follow = [this](LinkConnection::Health health) {
        // A port just opened has not answered yet, and one closed at the end was not lost:
        // neither says anything about the unit.
        if (health != LinkConnection::Health::Waiting && health != LinkConnection::Health::Closed)
            m_recorder->setLinkAnswering(health == LinkConnection::Health::Answering);
    };
    connect(connection, &LinkConnection::healthChanged, this, follow);
    follow(connection->health());
}

QString RecordingControl::statusText(qint64 ms, qint64 rows)
{
    const qint64 s = ms / 1000;
    return QStringLiteral("● Záznam %1:%2:%3, %4 %5")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'))
        .arg(grouped(rows), rowsWord(rows));
}

void RecordingControl::toggleRecording()
{
    if (m_recorder->isRecording()) {
        m_recorder->stop();
        return;
    }
    QString error;
    if (!m_recorder->start(m_setup->dataFilePath(LogFormat::folderName()), &error))
        m_prompts->error(QStringLiteral("Záznam"), error);
}

void RecordingControl::placeMarker()
{
    const int number = m_recorder->addMarker();
    if (number == 0) {
        m_prompts->beep();
        return;
    }
    // The marker is in place already; the text may follow while the rows go on.
    const QString text = m_prompts->askText(QStringLiteral("Značka %1").arg(number),
                                            QStringLiteral("Krátký popis značky (nepovinný):"));
    m_recorder->setMarkerText(number, text);
}

void RecordingControl::showState()
{
    const bool on = m_recorder->isRecording();
    const QString text = on ? statusText(m_recorder->elapsedMs(), m_recorder->rows()) : QString();
    if (m_record) {
        m_record->setText(on ? QStringLiteral("Zastavit záznam") : QStringLiteral("Záznam"));
        m_marker->setEnabled(on);
        // The page has room for it on two lines only.
        m_status->setText(QString(text).replace(QStringLiteral(", "), QStringLiteral("\n")));
    }
    emit statusChanged(text);
}
