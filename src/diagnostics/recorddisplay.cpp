#include "recorddisplay.h"
#include "diagnosticspage.h"
#include "recordfields.h"
#include "tachoreading.h"
#include "link/diagnosticsexchange.h"
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <utility>

using namespace RecordFields;

RecordDisplay::RecordDisplay(TachoReading *tacho, DiagnosticsPage *page, DiagnosticsExchange *link, QObject *parent)
    : QObject(parent), m_tacho(tacho), m_page(page), m_link(link)
{
    connect(page->readButton(), &QPushButton::clicked, this, &RecordDisplay::readDiagnostics);
    connect(link, &DiagnosticsExchange::diagnosticsReceived, this, [this](const QByteArray &record) {
        showOutcome(QStringLiteral("Načtení OK"));
        showRecord(record);
    });
    connect(link, &DiagnosticsExchange::diagnosticsMissing, this, [this] { showOutcome(QStringLiteral("Jednotka neodpovídá!")); });
    // Only the page stores a service.
    connect(link, &DiagnosticsExchange::serviceChecked, this, [this](bool stored) {
        showOutcome(stored ? QStringLiteral("Uložení OK") : QStringLiteral("Nesprávné uložení!"), true);
    });
    connect(&link->diagMessageTimer(), &LinkTimer::fired, page, &DiagnosticsPage::hideMessage);
}

void RecordDisplay::showOutcome(const QString &text, bool pageAsked)
{
    m_page->showMessage(text);
    if (std::exchange(m_pageAsked, false) || pageAsked)
        emit outcomeShown(text);
}

void RecordDisplay::readDiagnostics()
{
    pageAsks();
    m_tacho->awaitRecord();
    m_link->requestDiagnostics();
}

void RecordDisplay::showRecord(const QByteArray &record)
{
    for (int i = 0; i < FieldCount; ++i) {
        QLineEdit *edit = m_page->fieldEdit(i);
        if (i != TachoField) {
            edit->setText(text(Fields[i], record));
            continue;
        }
        const QSignalBlocker mute(edit);
        m_tacho->takeFromRecord(int(number(record, Fields[i].offset, 3)));
        edit->setText(QString::number(m_tacho->km()));
    }
    for (int row = 0; row < CounterRows; ++row) {
        for (int lean = 0; lean < 2; ++lean)
            m_page->counterEdit(row, lean)->setText(QString::number(number(record, counterOffset(row, lean), 2)));
    }
    m_recordShown = true;
}

void RecordDisplay::forgetRecord()
{
    m_recordShown = false;
    for (int i = 0; i < FieldCount; ++i) {
        const QSignalBlocker mute(m_page->fieldEdit(i));
        m_page->fieldEdit(i)->clear();
    }
    for (int row = 0; row < CounterRows; ++row) {
        for (int lean = 0; lean < 2; ++lean)
            m_page->counterEdit(row, lean)->clear();
    }
    m_tacho->forget();
}
