#pragma once
#include <QDate>
#include <QObject>
#include <functional>

class DiagnosticsPage;
class Prompts;
class UnitData;
class DiagnosticsExchange;

// What changes the unit's record: clearing its error memory and storing a service (today's date
// and the tachometer reading), with the edit that keeps the reading to send.
class ServiceCommands : public QObject
{
    Q_OBJECT
public:
    ServiceCommands(UnitData *data, DiagnosticsPage *page, DiagnosticsExchange *link, Prompts *prompts,
                    std::function<QDate()> today, QObject *parent = nullptr);

    void Button33Click();  // clear the error memory, after the question
    void STachoChange();   // the reading typed into STacho
    void Button34Click();  // store the service, asking first when no new reading was typed

private:
    UnitData *m_data;
    DiagnosticsPage *m_page;
    DiagnosticsExchange *m_link;
    Prompts *m_prompts;
    std::function<QDate()> m_today;
};
