#pragma once
#include <QByteArray>
#include <QObject>

class DiagnosticsPage;
class TachoReading;
class DiagnosticsExchange;

// Fetching the diagnostic record ("Načtení diagnostiky") and showing it, and the page's short
// result messages on NacteniDiag.
class RecordDisplay : public QObject
{
    Q_OBJECT
public:
    RecordDisplay(TachoReading *tacho, DiagnosticsPage *page, DiagnosticsExchange *link, QObject *parent = nullptr);

    void readDiagnostics();
    // Fills the page from the 34 record bytes; the tachometer edit is filled without its change
    // handler, so a shown reading never counts as typed.
    void showRecord(const QByteArray &record);

    // The fields show a record of the unit now connected.
    bool recordShown() const { return m_recordShown; }
    // The link was lost or another unit may be there: the fields go empty and the reading to send
    // with them, until the record is read again.
    void forgetRecord();

private:
    TachoReading *m_tacho;
    DiagnosticsPage *m_page;
    DiagnosticsExchange *m_link;
    bool m_recordShown = false;
};
