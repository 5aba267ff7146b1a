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
    // The page asks the unit for something that ends with a message: its outcome is the
    // technician's, not that of a read another part of the tool asked for.
    void pageAsks() { m_pageAsked = true; }
    // Fills the page from the 34 record bytes; the tachometer edit is filled without its change
    // handler, so a shown reading never counts as typed.
    void showRecord(const QByteArray &record);

    // The fields show a record of the unit now connected.
    bool recordShown() const { return m_recordShown; }
    // The link was lost or another unit may be there: the fields go empty and the reading to send
    // with them, until the record is read again.
    void forgetRecord();

signals:
    // An outcome of the page's own request went onto NacteniDiag, whether or not the page is shown.
    void outcomeShown(const QString &text);

private:
    // Shows `text`; it is the page's outcome when the page asked (or `pageAsked`).
    void showOutcome(const QString &text, bool pageAsked = false);

    TachoReading *m_tacho;
    DiagnosticsPage *m_page;
    DiagnosticsExchange *m_link;
    bool m_recordShown = false;
    bool m_pageAsked = false;
};
