#pragma once
#include "history/visit.h"
#include <QObject>
#include <functional>
#include <optional>

class HistoryPage;
class HistoryStore;
class Prompts;
class ServicePage;
class ToolSetup;
class UnitData;
class VisitRecorder;

// The rules behind the page "Historie": the lists follow the search box and the selections, and
// are read again whenever this or another PC stores a visit; any two sets are compared as the
// page "Servis" compares them; a visit's set comes into the tool as a backup does.
class HistoryBrowser : public QObject
{
    Q_OBJECT
public:
    HistoryBrowser(HistoryPage *page, HistoryStore *store, VisitRecorder *recorder, UnitData *data, const ToolSetup *setup,
                   ServicePage *service, Prompts *prompts, QObject *parent = nullptr);
    // How a report file is shown; the system's viewer by default.
    void setOpener(std::function<bool(const QString &path)> open) { m_open = std::move(open); }
    // Where a report taken from the history is written to be opened.
    void setReportFolder(const QString &folder) { m_reportFolder = folder; }
    const Visit &shownVisit() const { return m_visit; }

    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showUnits(const QString &filter, const QList<UnitSummary> &units);
    void unitSelected();
    void showVisits(const QString &unitId, const QList<VisitSummary> &visits);
    void visitSelected();
    void showVisit(const Visit &visit, const Visit &previous);
    void saveVehicle();
    void saveNotes();
    void nameUnit();
    std::optional<int> askNumber(const QString &label, int low, int high, const QString &refusal);
    void openReport();
    void markSet();
    void compare(const ParameterSet &a, const QString &aName);
    void compareWithTool();
    void takeSet();
    void showState();
    const VisitSet *selectedSet() const;

    HistoryPage *m_page;
    HistoryStore *m_store;
    VisitRecorder *m_recorder;
    UnitData *m_data;
    const ToolSetup *m_setup;
    ServicePage *m_service;
    Prompts *m_prompts;
    std::function<bool(const QString &)> m_open;
    QString m_reportFolder;
    QString m_unitId;
    bool m_unitNamed = false;
    QString m_visitId;
    Visit m_visit;
    QString m_notesOf;  // the visit whose notes the notes field holds
    ParameterSet m_marked;
    QString m_markedName;
};
