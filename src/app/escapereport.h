#pragma once
#include <QObject>
#include <QString>

class Prompts;
class MainWindow;

// An exception escaped an event handler and the tool goes on: the unsaved set is kept at once, as
// a stop by the system keeps it, and the technician hears of it once the event in hand is over,
// one message however many follow meanwhile.
class EscapeReport : public QObject
{
    Q_OBJECT
public:
    EscapeReport(MainWindow *window, Prompts *prompts, QObject *parent = nullptr);

    void report(const QString &reason);

private:
    void say();

    MainWindow *m_window;
    Prompts *m_prompts;
    QString m_reason;  // the first since the last message
    QString m_keptAt;
    bool m_due = false;
};
