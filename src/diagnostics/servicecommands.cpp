#include "servicecommands.h"
#include "diagnosticspage.h"
#include "recorddisplay.h"
#include "recordfields.h"
#include "prompts/prompts.h"
#include "tachoreading.h"
#include "link/diagnosticsexchange.h"
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

namespace {
const QString Caution = QStringLiteral("Pozor !!!");
}

ServiceCommands::ServiceCommands(TachoReading *tacho, DiagnosticsPage *page, RecordDisplay *display, DiagnosticsExchange *link,
                                 Prompts *prompts, std::function<QDate()> today, QObject *parent)
    : QObject(parent), m_tacho(tacho), m_page(page), m_display(display), m_link(link), m_prompts(prompts),
      m_today(std::move(today))
{
    connect(page->clearButton(), &QPushButton::clicked, this, &ServiceCommands::clearErrorMemory);
    connect(page->storeButton(), &QPushButton::clicked, this, &ServiceCommands::storeService);
    connect(page->tachoEdit(), &QLineEdit::textChanged, this, &ServiceCommands::takeTachoReading);
}

void ServiceCommands::clearErrorMemory()
{
    // The unit's error history is gone for good once cleared.
    if (!m_prompts->askYesNo(Caution, QStringLiteral("Opravdu chcete smazat paměť chyb ?")))
        return;
    // The record read back afterwards replaces whatever reading was typed.
    m_tacho->awaitRecord();
    m_display->pageAsks();
    m_link->clearErrors();
}

void ServiceCommands::takeTachoReading()
{
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?)(\\d+)\\s*$"));
    QLineEdit *edit = m_page->tachoEdit();
    const QRegularExpressionMatch m = number.match(edit->text());
    if (!m.hasMatch()) {
        // Setting the text runs this handler again, nested, which stores the 0.
        edit->setText(QStringLiteral("0"));
        m_prompts->beep();
        return;
    }
    // Only the digits count: a long run of them is beyond the unit's 24 bits whatever it says.
    QString digits = m.captured(2);
    while (digits.size() > 1 && digits.front() == QLatin1Char('0'))
        digits.remove(0, 1);
    const bool beyond = digits.size() > 8 || digits.toInt() > RecordFields::MaxReading;
    int value = beyond ? RecordFields::MaxReading : digits.toInt();
    if (m.captured(1) == QLatin1String("-") && value != 0) {
        value = 0;
        edit->setText(QStringLiteral("0"));
    } else if (beyond) {
        // Cut to 24 bits the reading would reach the unit as something else entirely.
        edit->setText(QString::number(value));
    }
    m_tacho->type(value);
}

void ServiceCommands::storeService()
{
    // The unit keeps the next service number and the date with the reading: a store from a record
    // never read would put a reading nobody saw (the empty field's 0) into the car's history.
    if (!m_display->recordShown()) {
        m_prompts->message(Caution, QStringLiteral("Nejdříve načtěte záznam jednotky tlačítkem \"Načtení diagnostiky\".\n"
                                                   "Servis se ukládá jen k načtenému záznamu připojené jednotky."));
        m_page->readButton()->setFocus();
        return;
    }
    if (!m_tacho->typed()
        && !m_prompts->askYesNo(Caution, QStringLiteral("Opravdu chcete uložit tento stav tachometru ?\n\nStav tacho: %1 km")
                                             .arg(m_tacho->km()))) {
        m_page->tachoEdit()->setFocus();
        return;
    }
    m_link->storeService(m_today(), m_tacho->km());
}
