#pragma once
#include <QObject>
#include <QTimer>

class QLabel;
class QPushButton;
class LinkConnection;
class LogRecorder;
class Prompts;
class ToolSetup;
class UnitData;
class MeasurementExchange;
class StatusPoll;
class LinkTransport;

// The recording as the technician drives it: "Záznam" (Ctrl+R) starts and stops it, "Značka"
// (F2) puts a numbered marker into it, and while it runs the page and the bottom line say how
// long and how many rows.
class RecordingControl : public QObject
{
    Q_OBJECT
public:
    RecordingControl(StatusPoll *status, LinkTransport *link, MeasurementExchange *measurement, UnitData *data, const ToolSetup *setup,
                     Prompts *prompts, QObject *parent = nullptr);

    // The page's button for recording, its marker button and its status label.
    void attach(QPushButton *record, QPushButton *marker, QLabel *status);
    LogRecorder *recorder() const { return m_recorder; }
    // A recording then says where the link was lost and where it came back.
    void watchConnection(LinkConnection *connection);

    void toggleRecording();
    void placeMarker();

    // "● Záznam 00:12:34, 37 412 řádků"
    static QString statusText(qint64 ms, qint64 rows);

signals:
    // What the bottom line shows; empty when nothing is recorded.
    void statusChanged(const QString &text);
    // A recording file was made or ended: lists of recordings are read again.
    void recordingsChanged();

private:
    void showState();

    const ToolSetup *m_setup;
    Prompts *m_prompts;
    LogRecorder *m_recorder;
    QPushButton *m_record = nullptr;
    QPushButton *m_marker = nullptr;
    QLabel *m_status = nullptr;
    QTimer m_clock;
};
