#pragma once
#include "recordfields.h"
#include <QDate>
#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class Prompts;
class RecordDisplay;
class ServiceCommands;
class TachoReading;
class DiagnosticsExchange;

// The page "Palubní diagnostika": the unit's diagnostic record in read-only edits (the
// tachometer reading stays editable), the error counters as a table of power ranges by rich and
// lean, and the record's three commands. It lays the controls out; RecordDisplay and
// ServiceCommands hold the rules behind them.
class DiagnosticsPage : public QWidget
{
    Q_OBJECT
public:
    explicit DiagnosticsPage(QWidget *parent = nullptr);

    // Puts the rules behind the controls; `today` gives the date a service store sends.
    void attach(DiagnosticsExchange *link, Prompts *prompts,
                std::function<QDate()> today = [] { return QDate::currentDate(); });
    RecordDisplay *display() const { return m_display; }
    ServiceCommands *service() const { return m_service; }
    TachoReading *tachoReading() const { return m_tacho; }

    QLineEdit *fieldEdit(int field) const { return m_fields[field]; }  // by RecordFields::Fields index
    QLineEdit *tachoEdit() const { return m_fields[RecordFields::TachoField]; }
    QLineEdit *counterEdit(int row, int lean) const { return m_counters[row][lean]; }
    QPushButton *readButton() const { return m_read; }    // Button28
    QPushButton *clearButton() const { return m_clear; }  // Button33
    QPushButton *storeButton() const { return m_store; }  // Button34
    // The service report: made as a PDF, or printed. The report library puts the rules behind them.
    QPushButton *reportButton() const { return m_report; }  // Protokol
    QPushButton *printButton() const { return m_print; }    // Tisk

    // The label NacteniDiag: shown with a text until hideMessage().
    void showMessage(const QString &text);
    void hideMessage();

private:
    void buildRecordFields();
    void buildCounterTable();

    QLineEdit *m_fields[RecordFields::FieldCount] = {};
    QLineEdit *m_counters[RecordFields::CounterRows][2] = {};
    QPushButton *m_read = nullptr;
    QPushButton *m_clear = nullptr;
    QPushButton *m_store = nullptr;
    QPushButton *m_report = nullptr;
    QPushButton *m_print = nullptr;
    QLabel *m_message = nullptr;
    RecordDisplay *m_display = nullptr;
    ServiceCommands *m_service = nullptr;
    TachoReading *m_tacho = nullptr;
};
