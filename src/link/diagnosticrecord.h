#pragma once
#include <QByteArray>
#include <QObject>

// The unit's diagnostic record as it last came, and what clearing its error memory did to it: the
// report needs the counters as the car came in even after they are gone from the unit.
class DiagnosticRecord : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The record as it last came from the unit (34 bytes); empty until one came.
    const QByteArray &bytes() const { return m_bytes; }
    bool isEmpty() const { return m_bytes.isEmpty(); }
    // The error memory was cleared in this session.
    bool errorsCleared() const { return m_errorsCleared; }
    // The record that came before the first clearing; empty when none had come, or nothing was cleared.
    const QByteArray &beforeClearing() const { return m_beforeClearing; }
    // The record whose counters the unit holds now; empty when the errors were cleared after it came.
    QByteArray countersNow() const;

    void take(const QByteArray &record);
    void noteErrorsCleared();
    // Another unit is connected: no clearing of the previous one counts, and its record goes too
    // when `recordIsOld` (it came from the previous unit).
    void forgetPreviousUnit(bool recordIsOld);

signals:
    void recordTaken(const QByteArray &record);
    void errorsClearedNoted(const QByteArray &beforeClearing);
    void previousUnitForgotten();

private:
    QByteArray m_bytes;
    bool m_errorsCleared = false;
    QByteArray m_beforeClearing;
    // m_bytes came after the last clearing.
    bool m_afterClearing = false;
};
