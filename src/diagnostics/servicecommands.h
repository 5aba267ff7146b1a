#pragma once
#include <QDate>
#include <QObject>
#include <functional>

class DiagnosticsPage;
class Prompts;
class RecordDisplay;
class TachoReading;
class DiagnosticsExchange;

// What changes the unit's record: clearing its error memory and storing a service (today's date
// and the tachometer reading), with the edit that keeps the reading to send.
class ServiceCommands : public QObject
{
    Q_OBJECT
public:
    // A store needs the record of the unit now connected in `display`.
    ServiceCommands(TachoReading *tacho, DiagnosticsPage *page, RecordDisplay *display, DiagnosticsExchange *link,
                    Prompts *prompts, std::function<QDate()> today, QObject *parent = nullptr);

    void clearErrorMemory();  // clear the error memory, after the question
    void takeTachoReading();   // the reading typed into STacho
    // Store the service once the record has been read, asking first (with the reading named) when
    // no new reading was typed.
    void storeService();

private:
    TachoReading *m_tacho;
    DiagnosticsPage *m_page;
    RecordDisplay *m_display;
    DiagnosticsExchange *m_link;
    Prompts *m_prompts;
    std::function<QDate()> m_today;
};
