#pragma once
#include "appversion.h"
#include "portpicker.h"
#include "toolsetup/toolsetup.h"
#include "windowpages.h"
#include <QList>
#include <QString>
#include <QWidget>

class QAction;
class QLabel;
class QTabWidget;
class CutOffPage;
class ConnectionLine;
class DiagnosticsPage;
class InfoPage;
class HistoryPage;
class HistoryStore;
class VisitRecorder;
class PreviousVisitNote;
class LinkConnection;
class MissedOutcomes;
class LambdaPage;
class ScopePage;
class RecordingControl;
class RecordingsPage;
class KeptAnalyses;
class LiveValuesPage;
class Prompts;
class ReportController;
class ServicePage;
class SerialIo;
class TuningPage;
class UnitData;
class BlockRead;
class BlockWrite;
class CommandExchange;
class CutOffReader;
class DiagnosticsExchange;
class LevelExchange;
class LinkTransport;
class MeasurementExchange;
class MemoryCheck;
class ScopeRecording;
class StatusPoll;
class UnitLink;
struct TesterSettings;

// The main window: owns the shared data, the link and the pages, wires them together and runs
// start-up, page changes and shutdown. It is the one place that creates collaborators.
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    // The caption of the tool's own message boxes.
    static QString boxCaption() { return QStringLiteral("Velkor ") + appVersion(); }
    static QString captionPrefix() { return QStringLiteral(" Dasmin - Velkor ") + appVersion() + QStringLiteral("   --> "); }

    // `port` and `prompts` outlive the window; tests pass fakes, and a list of ports for the picker
    // (the system's when empty).
    MainWindow(SerialIo *port, Prompts *prompts, QWidget *parent = nullptr, PortSource ports = {});
    ~MainWindow() override;

    // Start-up in the working folder: settings, port, data folder, caption, frames, poll.
    void startUp(const QString &workingFolder);

    UnitData *data() const { return m_data; }
    const ToolSetup *setup() const { return &m_setup; }
    LinkTransport *link() const { return m_link; }
    StatusPoll *statusPoll() const { return m_status; }
    BlockRead *blockRead() const { return m_blockRead; }
    LevelExchange *levelExchange() const { return m_levels; }
    BlockWrite *blockWrite() const { return m_blockWrite; }
    DiagnosticsExchange *diagnosticsExchange() const { return m_diagnosticsLink; }
    CutOffReader *cutOffReader() const { return m_cutOffReader; }
    ScopeRecording *scopeRecording() const { return m_scopeRecording; }
    QTabWidget *pages() const { return m_pages; }
    TuningPage *tuningPage() const { return m_tuning; }
    LiveValuesPage *livePage() const { return m_live; }
    LinkConnection *connection() const { return m_connection; }
    ConnectionLine *connectionLine() const { return m_line; }
    LambdaPage *lambdaPage() const { return m_lambda; }
    ServicePage *servicePage() const { return m_service; }
    CutOffPage *cutOffPage() const { return m_cutOff; }
    ScopePage *scopePage() const { return m_scope; }
    DiagnosticsPage *diagnosticsPage() const { return m_diagnostics; }
    RecordingControl *recording() const { return m_recording; }
    HistoryPage *historyPage() const { return m_history; }
    HistoryStore *historyStore() const { return m_historyStore; }
    VisitRecorder *visitRecorder() const { return m_visitRecorder; }
    PreviousVisitNote *previousVisitNote() const { return m_previousVisit; }
    int pollInterval() const;

    // The caption names the current configuration file (or the backup the set came from) and
    // marks unsaved changes with "*".
    void updateCaption();

    // The system ends the tool (SIGTERM, SIGINT, SIGHUP): nobody can be asked, so unsaved changes
    // are kept in the backup folder first; then the window closes as by "Konec".
    void stopBySystem();
    // Keeps unsaved changes in the backup folder without a question (a logout). Returns the
    // file's path; empty when nothing needed keeping or it could not be written.
    QString keepUnsavedChanges();

    // Shows a page as the shortcuts do: selected in code, without the page-change handling.
    void showPage(QWidget *page);

signals:
    // Ctrl+S: the page "Servis" is shown; the save of the current state follows.
    void saveCurrentStateRequested();
    // The user selected another tab (not a shortcut): pages drop their modes.
    void pageSelectedByUser();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void takeLinkParts();
    // The window's pages, one row each, in the order of their tabs.
    QList<WindowPage> pageTable();
    void buildPages();
    void buildShortcuts();
    // The Info page names the buttons as captioned and lists the window's shortcuts.
    void showInfo();
    void buildConnectionLine(PortSource ports);
    void showHealth();
    void choosePort(const QString &name);
    void applySettings(const TesterSettings &settings);
    // True when the port is open; `named`: TESTER.INI names it, so a failure is said at once.
    bool openPort(const QString &name, bool named);
    static QString choosePortText();
    // The unit history in the data folder, or on the server TESTER.INI names; never waited for.
    void startHistory(const TesterSettings &settings);
    void returnToPollingOnPageChange();
    void guardReads();
    // Unsaved changes before the window closes: saved, dropped, or the close called off (false).
    bool mayClose();
    bool mayLeaveRamChanges();
    void sayKeptChanges();

    SerialIo *m_port;
    Prompts *m_prompts;
    UnitData *m_data;
    ToolSetup m_setup;
    UnitLink *m_unit;  // the transport and every exchange; the pointers below are into it
    LinkTransport *m_link;
    StatusPoll *m_status = nullptr;
    CommandExchange *m_commands = nullptr;
    LevelExchange *m_levels = nullptr;
    BlockRead *m_blockRead = nullptr;
    BlockWrite *m_blockWrite = nullptr;
    MeasurementExchange *m_measurement = nullptr;
    MemoryCheck *m_memoryCheck = nullptr;
    DiagnosticsExchange *m_diagnosticsLink = nullptr;
    ScopeRecording *m_scopeRecording = nullptr;
    CutOffReader *m_cutOffReader = nullptr;
    LinkConnection *m_connection;
    ConnectionLine *m_line = nullptr;
    QString m_workingFolder;
    QTabWidget *m_pages = nullptr;
    QList<WindowPage> m_pageTable;
    TuningPage *m_tuning = nullptr;
    LiveValuesPage *m_live = nullptr;
    LambdaPage *m_lambda = nullptr;
    ServicePage *m_service = nullptr;
    DiagnosticsPage *m_diagnostics = nullptr;
    CutOffPage *m_cutOff = nullptr;
    ScopePage *m_scope = nullptr;
    InfoPage *m_info = nullptr;
    HistoryPage *m_history = nullptr;
    HistoryStore *m_historyStore = nullptr;
    VisitRecorder *m_visitRecorder = nullptr;
    PreviousVisitNote *m_previousVisit = nullptr;
    ReportController *m_report = nullptr;
    RecordingControl *m_recording = nullptr;
    RecordingsPage *m_recordings = nullptr;
    KeptAnalyses *m_keptAnalyses = nullptr;
    QLabel *m_linkMessageLabel = nullptr;
    MissedOutcomes *m_missed = nullptr;
    bool m_pageByCode = false;
    bool m_stoppedBySystem = false;
    // "Konec" sent RAM->EEPROM first: the window closes once the command has gone.
    bool m_committingBeforeClose = false;
};
