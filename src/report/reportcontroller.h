#pragma once
#include "reportinput.h"
#include "analysis/analysislimits.h"
#include "unitsession.h"
#include "vehicledetailsstore.h"
#include "prompts/prompts.h"
#include <QObject>
#include <functional>

class DiagnosticsPage;
class KeptAnalyses;
class Prompts;
class QTextDocument;
class ScopePage;
class ToolSetup;
class UnitData;

// The rules behind "Protokol" and "Tisk…" on the page "Palubní diagnostika": asks whether to add
// the pictures and for notes, makes the report from what the tool knows now, and either keeps it
// as data/protokoly/<date>_<time>_<serial>.pdf and opens it in the system's viewer, or prints it.
class ReportController : public QObject
{
    Q_OBJECT
public:
    ReportController(UnitData *data, const ToolSetup *setup, DiagnosticsPage *page, Prompts *prompts,
                     QObject *parent = nullptr);

    void setWorkshop(const Workshop &workshop) { m_workshop = workshop; }
    // "Velkor 3.0": the program the report names, as its caption and --version do.
    void setToolVersion(const QString &version) { m_toolVersion = version; }
    // Where the optional pictures come from; each may stay unset.
    void setScopePage(const ScopePage *page) { m_scope = page; }
    void setRecordingPlot(std::function<QImage()> plot) { m_plot = std::move(plot); }
    // The session's last finished live-value recording (empty when none) and the limits its
    // analysis is judged by, as the page "Záznamy" has them.
    void setLastRecording(std::function<QString()> path) { m_lastRecording = std::move(path); }
    // The unit's previous visit, from the history; none when not set.
    void setPreviousVisit(std::function<PreviousVisit()> previous) { m_previousVisit = std::move(previous); }
    void setAnalysisLimits(std::function<AnalysisLimits()> limits) { m_limits = std::move(limits); }
    // Where the recordings' analyses are kept; without it the report makes its own.
    void setKeptAnalyses(KeptAnalyses *kept) { m_kept = kept; }
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }

    void makeReport();   // "Protokol", Ctrl+T
    void printReport();  // "Tisk…"
    QString lastReport() const { return m_last; }
    // Which unit the report is about: told of records, blocks, backups and renewed links.
    UnitSession *session() { return &m_session; }

signals:
    void reportWritten(const QString &path);
    // The customer and vehicle the dialog was answered with, for the unit's history.
    void detailsAnswered(const VehicleDetails &details);

private:
    // Asks the dialog and builds the document; false when cancelled or impossible (said already).
    bool prepare(QTextDocument &document, ReportInput &input);
    ReportQuestion proposal(const std::optional<UnitIdentity> &unit, bool picturesAvailable, bool analysisAvailable);
    QImage scopePicture() const;

    UnitData *m_data;
    const ToolSetup *m_setup;
    DiagnosticsPage *m_page;
    Prompts *m_prompts;
    Workshop m_workshop;
    QString m_toolVersion;
    const ScopePage *m_scope = nullptr;
    std::function<QImage()> m_plot;
    std::function<QString()> m_lastRecording;
    std::function<PreviousVisit()> m_previousVisit;
    std::function<AnalysisLimits()> m_limits;
    KeptAnalyses *m_kept = nullptr;
    UnitSession m_session;
    VehicleDetailsStore m_vehicles;
    // The dialog's last answers and the unit they were for: proposed again for "Tisk…" and the
    // next report of the same unit.
    ReportQuestion m_lastAnswer;
    std::optional<UnitIdentity> m_lastUnit;
    QString m_mileageProposed;  // the unit's reading the last proposal held
    bool m_answered = false;
    std::function<QDateTime()> m_now = [] { return QDateTime::currentDateTime(); };
    QString m_last;
};
