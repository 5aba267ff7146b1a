#pragma once
#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class HistoryBrowser;
class HistoryStore;
class Prompts;
class ServicePage;
class ToolSetup;
class UnitData;
class VisitRecorder;

// The page "Historie": the units with a search box, a unit's visits, one visit's details and
// sets, and two sets compared. It lays the controls out; HistoryBrowser does the work.
class HistoryPage : public QWidget
{
    Q_OBJECT
public:
    explicit HistoryPage(QWidget *parent = nullptr);
    // The set taken in goes through the page "Servis" as a backup does.
    void attach(HistoryStore *store, VisitRecorder *recorder, UnitData *data, const ToolSetup *setup, ServicePage *service,
                Prompts *prompts);
    HistoryBrowser *browser() const { return m_browser; }

    QLineEdit *search() const { return m_search; }
    QPushButton *nameUnit() const { return m_nameUnit; }
    QTreeWidget *units() const { return m_units; }
    QLineEdit *vehicle() const { return m_vehicle; }
    QPushButton *saveVehicle() const { return m_saveVehicle; }
    QTreeWidget *visits() const { return m_visits; }
    QPushButton *openReport() const { return m_openReport; }
    QLineEdit *technician() const { return m_technician; }
    QTabWidget *cards() const { return m_cards; }
    QTextBrowser *details() const { return m_details; }
    QTreeWidget *comparison() const { return m_comparison; }
    QPlainTextEdit *notes() const { return m_notes; }
    QPushButton *saveNotes() const { return m_saveNotes; }
    QTreeWidget *sets() const { return m_sets; }
    QPushButton *markSet() const { return m_mark; }
    QPushButton *compareMarked() const { return m_compareMarked; }
    QPushButton *compareTool() const { return m_compareTool; }
    QPushButton *takeSet() const { return m_take; }
    QLabel *status() const { return m_status; }

private:
    QLineEdit *m_search;
    QPushButton *m_nameUnit;
    QTreeWidget *m_units;
    QLineEdit *m_vehicle;
    QPushButton *m_saveVehicle;
    QTreeWidget *m_visits;
    QPushButton *m_openReport;
    QLineEdit *m_technician;
    QTabWidget *m_cards;
    QTextBrowser *m_details;
    QTreeWidget *m_comparison;
    QPlainTextEdit *m_notes;
    QPushButton *m_saveNotes;
    QTreeWidget *m_sets;
    QPushButton *m_mark;
    QPushButton *m_compareMarked;
    QPushButton *m_compareTool;
    QPushButton *m_take;
    QLabel *m_status;
    HistoryBrowser *m_browser = nullptr;
};
