#include "diagnosticsexchange.h"
#include "unitdata.h"
#include <QDate>
#include <utility>

namespace {
// Where the record carries what a service store writes: tachometer (3 bytes), day, month, year.
constexpr int RecordServiceOffset = 10;
constexpr int RecordServiceSize = 6;
}

DiagnosticsExchange::DiagnosticsExchange(LinkTransport *link, UnitData *data, QObject *parent)
    : QObject(parent), m_link(link), m_data(data)
{
    link->own(State, {Reply::BlockSize, 0x02, 0x03}, [this](const QByteArray &record) { take(record); },
              [this] { lost(); });
    connect(&m_diagGuard, &LinkTimer::fired, this, &DiagnosticsExchange::diagnosticsTimedOut);
}

void DiagnosticsExchange::requestDiagnostics()
{
    if (!m_link->requirePort())
        return;
    m_link->run([this] {
        m_serviceExpected.clear();
        m_lease = m_link->takeLink();
        sendRequest();
    });
}

void DiagnosticsExchange::sendRequest()
{
    m_link->beginRequest();
    m_link->ask(m_lease, State, UnitCode::ReadDiagnostics, Reply::BlockSize);
    m_diagGuard.restart();
}

void DiagnosticsExchange::clearErrors()
{
    changeRecord({m_link->commandFrame(UnitCode::ClearErrors)}, {});
}

QList<QByteArray> DiagnosticsExchange::serviceFrames(const QDate &date, int tachoValue) const
{
    // (year + 48) keeps the low 8 bits of (year - 2000), since 2048 is a multiple of 256.
    const quint8 year = quint8((date.year() + 48) & 0xFF);
    const auto tacho = quint32(tachoValue);
    return {m_link->serviceFrame(ServiceAddress::Day, quint8(date.day())),
            m_link->serviceFrame(ServiceAddress::Month, quint8(date.month())),
            m_link->serviceFrame(ServiceAddress::Year, year),
            m_link->serviceFrame(ServiceAddress::Close, 0),
            m_link->serviceFrame(ServiceAddress::TachoLow, quint8(tacho)),
            m_link->serviceFrame(ServiceAddress::TachoMid, quint8(tacho >> 8)),
            m_link->serviceFrame(ServiceAddress::TachoHigh, quint8(tacho >> 16))};
}

void DiagnosticsExchange::storeService(const QDate &date, int tachoValue)
{
    const QList<QByteArray> frames = serviceFrames(date, tachoValue);
    QByteArray expected;
    for (int i : {4, 5, 6, 0, 1, 2})
        expected.append(frames.at(i).at(3));
    changeRecord(frames, expected);
}

void DiagnosticsExchange::changeRecord(const QList<QByteArray> &frames, const QByteArray &expected)
{
    if (!m_link->requirePort())
        return;
    QList<LinkTransport::Step> steps;
    for (const QByteArray &frame : frames)
        steps.append({steps.isEmpty() ? 0 : LinkTransport::FramePauseMs, [this, frame] { m_link->transmit(frame); }});
    // The read-back goes in the same chain: a poll tick between the change and the request would
    // take the link out of the state that awaits the record.
    steps.append({LinkTransport::FramePauseMs, [this, expected] {
                      // Overtaken meanwhile (a reader took the link): a store stays unconfirmed.
                      if (!m_link->holds(m_lease)) {
                          if (!expected.isEmpty())
                              serviceUnconfirmed();
                          return;
                      }
                      sendRequest();
                      m_serviceExpected = expected;
                  }});
    m_link->run(
        [this, steps] {
            m_lease = m_link->takeLink();
            m_diagGuard.disable();
            m_link->startChain(steps);
        },
        true);
}

void DiagnosticsExchange::take(const QByteArray &record)
{
    m_diagGuard.disable();
    const QByteArray expected = std::exchange(m_serviceExpected, QByteArray());
    m_diagMessage.enable();
    m_data->record().take(record);
    emit diagnosticsReceived(record);
    if (!expected.isEmpty()) {
        // The result of a store stays its full 2 s, also right after the confirmation of a read.
        m_diagMessage.restart();
        emit serviceChecked(record.mid(RecordServiceOffset, RecordServiceSize) == expected);
    }
    m_link->handBack(m_lease);
}

// A garbled record: dropped without a word, unless it was the read-back of a store.
void DiagnosticsExchange::lost()
{
    m_diagGuard.disable();
    m_link->handBack(m_lease);
    if (!std::exchange(m_serviceExpected, QByteArray()).isEmpty())
        serviceUnconfirmed();
}

void DiagnosticsExchange::serviceUnconfirmed()
{
    m_diagMessage.restart();
    emit serviceChecked(false);
}

void DiagnosticsExchange::diagnosticsTimedOut()
{
    const bool checking = !m_serviceExpected.isEmpty();
    m_serviceExpected.clear();
    // Another operation or a page change has taken the link over since (a poll tick took the
    // link out of the record's state): it owns the poll now.
    const bool awaited = m_link->holds(m_lease) && m_link->linkState() == State;
    m_link->handBack(m_lease);
    if (!awaited)
        return;
    m_diagMessage.restart();
    if (checking)
        emit serviceChecked(false);
    else
        emit diagnosticsMissing();
}
