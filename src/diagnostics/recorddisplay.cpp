#include "recorddisplay.h"
#include "diagnosticspage.h"
#include "recordfields.h"
#include "tachoreading.h"
#include "link/diagnosticsexchange.h"
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

using namespace RecordFields;

RecordDisplay::RecordDisplay(TachoReading *tacho, DiagnosticsPage *page, DiagnosticsExchange *link, QObject *parent)
    : QObject(parent), m_tacho(tacho), m_page(page), m_link(link)
{
    connect(page->readButton(), &QPushButton::clicked, this, &RecordDisplay::readDiagnostics);
    connect(link, &DiagnosticsExchange::diagnosticsReceived, this, [this](const QByteArray &record) {
        m_page->showMessage(QStringLiteral("Načtení OK"));
        showRecord(record);
    });
    connect(link, &DiagnosticsExchange::diagnosticsMissing, page,
            [page] { page->showMessage(QStringLiteral("Jednotka neodpovídá!")); });
    connect(link, &DiagnosticsExchange::serviceChecked, page, [page](bool stored) {
        page->showMessage(stored ? QStringLiteral("Uložení OK") : QStringLiteral("Nesprávné uložení!"));
    });
    connect(&link->diagMessageTimer(), &LinkTimer::fired, page, &DiagnosticsPage::hideMessage);
}

void RecordDisplay::readDiagnostics()
{
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
