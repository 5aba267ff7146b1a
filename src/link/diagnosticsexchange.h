#pragma once
#include "linktimer.h"
#include "linktransport.h"
#include <QObject>

class QDate;
class UnitData;

// The diagnostic record (code 128, 34 bytes) and what changes it: the error clearing (code 144)
// and the service store (seven service frames), each followed by the record read back.
class DiagnosticsExchange : public QObject
{
    Q_OBJECT
public:
    static constexpr int MessageMs = 2000;

    DiagnosticsExchange(LinkTransport *link, UnitData *data, QObject *parent = nullptr);

    // Code 128; the record comes back through diagnosticsReceived, or the reply guard gives up
    // after 2 s with diagnosticsMissing and the poll running again.
    void requestDiagnostics();
    // Code 144, then the record read back, so that the page shows the cleared counters (or
    // diagnosticsMissing).
    void clearErrors();
    // The service date and tachometer reading as seven service frames 100 ms apart, then the
    // record read back; serviceChecked says whether the unit holds what was sent.
    void storeService(const QDate &date, int tachoValue);
    // The service frames that store `date` and the low 24 bits of `tachoValue`, in the unit's order.
    QList<QByteArray> serviceFrames(const QDate &date, int tachoValue) const;

    LinkTimer &diagMessageTimer() { return m_diagMessage; }  // how long the page's message stays
    LinkTimer &diagReplyGuard() { return m_diagGuard; }

signals:
    void diagnosticsReceived(const QByteArray &record);  // 34 bytes, both markers tested
    void diagnosticsMissing();                           // the unit did not answer the request
    void serviceChecked(bool stored);                    // the read-back after a service store

private:
    void sendRequest();
    // `frames` 100 ms apart, then the record read back; a non-empty `expected` is checked against
    // its bytes 10..15.
    void changeRecord(const QList<QByteArray> &frames, const QByteArray &expected);
    void take(const QByteArray &record);
    void lost();
    void serviceUnconfirmed();  // "not stored" for the page, its message shown the full time
    void diagnosticsTimedOut();

    LinkTransport *m_link;
    UnitData *m_data;
    // Record bytes 10..15 (tachometer, service date) a pending service check expects; empty when none.
    QByteArray m_serviceExpected;
    LinkTransport::Lease m_lease = 0;
    LinkTimer m_diagMessage{QStringLiteral("TNacDiag"), MessageMs, true};
    LinkTimer m_diagGuard{QStringLiteral("TimeOutDiag"), LinkTransport::ReplyGuardMs, true};
};
