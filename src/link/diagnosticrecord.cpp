#include "diagnosticrecord.h"

QByteArray DiagnosticRecord::countersNow() const
{
    return !m_errorsCleared || m_afterClearing ? m_bytes : QByteArray();
}

void DiagnosticRecord::take(const QByteArray &record)
{
    m_bytes = record;
    m_afterClearing = true;
    emit recordTaken(record);
}

void DiagnosticRecord::noteErrorsCleared()
{
    if (!m_errorsCleared)
        m_beforeClearing = m_bytes;
    m_errorsCleared = true;
    m_afterClearing = false;
    emit errorsClearedNoted(m_beforeClearing);
}

void DiagnosticRecord::forgetPreviousUnit(bool recordIsOld)
{
    m_errorsCleared = false;
    m_beforeClearing.clear();
    if (recordIsOld)
        m_bytes.clear();
    m_afterClearing = !m_bytes.isEmpty();
    emit previousUnitForgotten();
}
