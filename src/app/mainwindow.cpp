#include "mainwindow.h"
#include "connectionline.h"
#include "infopage.h"
#include "missedoutcomes.h"
#include "lambda/emulationlevels.h"
#include "lambda/emulationmeasurement.h"
#include "lambda/lambdapage.h"
#include "lambda/lambdastatuseditor.h"
#include "profilewriter.h"
#include "settingsfile.h"
#include "windowshortcuts.h"
#include "windowsize.h"
#include "datalog/analysiscontrol.h"
#include "datalog/keptanalyses.h"
#include "tuning/spinedit.h"
#include "tuning/paramfields.h"
#include "tuning/paramblock.h"
#include "cfgfiles/backupstore.h"
#include "cfgfiles/configfiles.h"
#include "cfgfiles/servicepage.h"
#include "cfgfiles/unsavedchanges.h"
#include "cfgfiles/backupkeeper.h"
#include "datalog/logrecorder.h"
#include "datalog/recordingcontrol.h"
#include "datalog/recordingplot.h"
#include "datalog/recordingsbrowser.h"
#include "datalog/recordingspage.h"
#include "datalog/recordingsetkeeper.h"
#include "diagnostics/diagnosticspage.h"
#include "diagnostics/recorddisplay.h"
#include "cutoff/cutoffcontrol.h"
#include "cutoff/cutoffpage.h"
#include "scope/scopecontrol.h"
#include "scope/scopepage.h"
#include "report/analysissummary.h"
#include "report/reportcontroller.h"
#include "history/historystore.h"
#include "history/visitrecorder.h"
#include "historypage/historypage.h"
#include "historypage/previousvisitnote.h"
#include "link/linkclock.h"
#include "link/linkconnection.h"
#include "livepage/linkmessagelabel.h"
#include "livepage/livebox.h"
#include "livepage/livevaluespage.h"
#include "linkwords/linkwords.h"
#include "linkwords/portwords.h"
#include "prompts/prompts.h"
#include "link/serialio.h"
#include "link/unitlink.h"
#include "link/unitdata.h"
#include "tuning/blockdisplay.h"
#include "tuning/tuningpage.h"
#include "tuning/unitcommands.h"
#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSysInfo>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <functional>

namespace {
constexpr int ClientWidth = 632;
constexpr int ClientHeight = 451;
}

MainWindow::MainWindow(SerialIo *port, Prompts *prompts, QWidget *parent, PortSource ports)
    : QWidget(parent), m_port(port), m_prompts(prompts), m_data(new UnitData(this)),
      m_unit(new UnitLink(port, m_data, LinkClock::system(), this)), m_link(&m_unit->transport),
      m_connection(new LinkConnection(port, m_link, this))
{
    setObjectName(QStringLiteral("Form2"));
    // The pages keep their place at the design size; a larger window gives the room to the pages
    // that use it. The connection line stays below them.
    setMinimumSize(ClientWidth, ClientHeight + ConnectionLine::Height);
    resize(minimumSize());
    // The layout is drawn in pixels for a small dialog font; a larger desktop font must not
    // push the Czech captions out of their controls.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    takeLinkParts();
    m_recording = new RecordingControl(m_status, m_link, m_measurement, m_data, &m_setup, m_prompts, this);
    m_recording->watchConnection(m_connection);
    buildPages();
    buildShortcuts();
    buildConnectionLine(ports ? std::move(ports) : PortSource(systemPorts));

    // Every accepted status reply refreshes both live displays, whichever page is shown.
    connect(m_status, &StatusPoll::liveValues, m_live, &LiveValuesPage::showLiveValues);
    connect(m_status, &StatusPoll::liveValues, m_tuning->liveBox(), &LiveBox::showLiveValues);

    // The rules of the page "Ladění" and the block the link brings in.
    m_tuning->attach(m_commands, m_blockRead, m_blockWrite, m_memoryCheck, m_prompts, m_live);
    connect(m_blockRead, &BlockRead::blockReceived, m_tuning->display(), &BlockDisplay::takeOverBlock);
    // After the live refreshes above: the active power range follows every status reply.
    connect(m_status, &StatusPoll::liveValues, m_tuning->display(), &BlockDisplay::followLiveValues);
    // The lambda page shows its part of every block the tuning page takes over.
    m_lambda->attach(m_link, m_levels, m_measurement, m_memoryCheck, m_tuning, m_live);

    // The page "Servis": files load through the tuning page's display; Ctrl+S saves from any page.
    m_service->attach(m_data, &m_setup, m_blockRead, m_levels, m_blockWrite, m_tuning->display(), m_prompts);
    connect(m_service->files(), &ConfigFiles::configFileChanged, this, &MainWindow::updateCaption);
    connect(this, &MainWindow::saveCurrentStateRequested, m_service->files(), &ConfigFiles::saveSetAs);
    connect(m_service->files(), &ConfigFiles::levelsLoaded, m_lambda->levels(), &EmulationLevels::showLevels);

    // The service report takes what the other pages hold: the set before the work from the
    // backups, the oscilloscope's last recording.
    // The report's dialog proposes the unit's previous visit as the first line of its notes.
    m_previousVisit = new PreviousVisitNote(m_prompts, this);
    m_report = new ReportController(m_data, &m_setup, m_diagnostics, m_previousVisit, this);
    m_report->setToolVersion(QStringLiteral("Velkor ") + appVersion());
    // One unit per report: what the tool learns of the unit now connected decides whose report it is.
    UnitSession *session = m_report->session();
    connect(m_diagnosticsLink, &DiagnosticsExchange::diagnosticsReceived, this,
            [session](const QByteArray &record) { session->takeRecord(record); });
    connect(m_blockRead, &BlockRead::blockReceived, this, [session](const QByteArray &block) { session->takeBlock(ParameterSet::fromFrames(block)); });
    connect(m_service->backups(), &BackupKeeper::backupTaken, this, [session](const BackupStore::Result &result) {
        if (result.outcome != BackupStore::Outcome::Failed)
            session->takeBackup(result.path);
    });
    connect(m_connection, &LinkConnection::healthChanged, this, [session](LinkConnection::Health health) {
        session->linkAnswering(health == LinkConnection::Health::Answering);
    });
    m_report->setScopePage(m_scope);
    // The plot of this session's last live-value recording, if there was one; small enough that
    // its text prints at 8 pt or more across the page.
    m_report->setRecordingPlot([this] {
        const QStringList files = m_recording->recorder()->files();
        return files.isEmpty() ? QImage() : renderRecordingPlot(files.last(), QSize(700, 300));
    });
    // Its analysis, once it is finished, by the limits the page "Záznamy" holds.
    m_report->setLastRecording([this] {
        const LogRecorder *recorder = m_recording->recorder();
        return recorder->isRecording() || recorder->files().isEmpty() ? QString() : recorder->files().last();
    });
    m_report->setAnalysisLimits([this] { return m_recordings->analysis()->limits(); });
    // The pages the table attaches; those above and below are ordered with the shared wiring.
    for (const WindowPage &row : std::as_const(m_pageTable)) {
        if (row.attach)
            row.attach();
    }
    // One analysis of a finished recording, for the page "Záznamy", the report and the history.
    m_keptAnalyses = new KeptAnalyses(this);
    m_recordings->analysis()->setKeptAnalyses(m_keptAnalyses);
    m_report->setKeptAnalyses(m_keptAnalyses);
    m_recording->attach(m_live->recordButton(), m_live->markerButton(), m_live->recordingLabel());
    // A recording keeps the sets it is made against; a set written meanwhile is marked in it.
    auto *setKeeper = new RecordingSetKeeper(m_recording->recorder(), m_data, this);
    connect(m_blockWrite, &BlockWrite::writeVerified, setKeeper, &RecordingSetKeeper::setWritten);
    for (const ParamFields::SpinField &field : ParamFields::Spins) {
        // After the page's own handler, which sends the byte and the version.
        connect(m_tuning->saveButton(field.index), &QPushButton::clicked, setKeeper, [this, setKeeper, index = field.index] {
            if (m_port->isOpen())
                setKeeper->byteWritten(index, m_data->set().paramByte(index), m_data->set().paramByte(ParamBlock::SetVersion));
        });
    }
    connect(m_recording, &RecordingControl::statusChanged, m_line, &ConnectionLine::showRecording);

    // Every control of every page may change the set; the caption follows what it now holds.
    UnsavedChanges *unsaved = m_service->unsaved();
    unsaved->watch(m_pages);
    connect(unsaved, &UnsavedChanges::changed, this, &MainWindow::updateCaption);
    connect(m_memoryCheck, &MemoryCheck::checked, unsaved, &UnsavedChanges::agreeChecked);
    guardReads();

    announceLinkOutcomes(*m_unit);
    // An outcome given while its page is not shown waits on the bottom line until it is.
    m_missed = new MissedOutcomes(m_pages, [this](const QString &text) { m_line->showUnseenOutcomes(text); }, this);
    connect(m_link, &LinkTransport::linkMessage, this, [this](const QString &text) {
        m_tuning->showLinkMessage(text);
        m_linkMessageLabel->setText(text);
        m_linkMessageLabel->show();
        m_missed->given({m_tuning, m_lambda}, text, [this](const QString &again) { m_link->announceLinkMessage(again); });
    });
    connect(m_diagnostics->display(), &RecordDisplay::outcomeShown, this, [this](const QString &text) {
        m_missed->given({m_diagnostics}, text, [this](const QString &again) {
            m_diagnostics->showMessage(again);
            m_diagnosticsLink->diagMessageTimer().restart();
        });
    });
    connect(m_link, &LinkTransport::linkMessageHidden, this, [this] {
        m_tuning->hideLinkMessage();
        m_linkMessageLabel->hide();
    });
    // A garbled status reply is said on the tuning page's label only, without showing it.
    connect(m_status, &StatusPoll::statusError, this, [this] {
        m_tuning->setLinkMessageText(QStringLiteral("Error Obeznik"));
        m_prompts->beep();
    });

    // The page change after a close belongs to the close the technician asked for: a port the
    // tool closes because its device went away leaves the technician where they are.
    connect(m_port, &SerialIo::afterClose, this, [this] {
        // A commit cut off by the closed port never goes: "Konec" may close again.
        m_committingBeforeClose = false;
        if (m_connection->health() != LinkConnection::Health::Lost)
            showPage(m_live);
    });
    // Said from inside a read, so queued. The box goes by itself once the port is open again.
    connect(m_port, &SerialIo::deviceLost, this,
            [this](const QString &port) { m_prompts->showNotice(boxCaption(), portErrorText(EComPort::lost(port))); },
            Qt::QueuedConnection);
    connect(m_tuning->closeButton(), &QPushButton::clicked, this, &QWidget::close);
    showInfo();
}

MainWindow::~MainWindow()
{
    // Before the history's thread ends with its store: the open visit is kept with its end.
    if (m_visitRecorder)
        m_visitRecorder->closeVisit();
    // The pages go while what they read is still there (the tool's setup, the page table): their
    // fields still run their handlers on the way out. A page change on the way out is nobody's.
    disconnect(m_pages, nullptr, this, nullptr);
    disconnect(m_pages, nullptr, m_missed, nullptr);
    delete m_pages;
    m_pages = nullptr;
}

void MainWindow::takeLinkParts()
{
    // UnitLink has built the transport and every kind of conversation; the window's pages take
    // theirs from here.
    m_status = &m_unit->status;
    m_commands = &m_unit->commands;
    m_levels = &m_unit->levels;
    m_blockRead = &m_unit->blockRead;
    m_blockWrite = &m_unit->blockWrite;
    m_measurement = &m_unit->measurement;
    m_memoryCheck = &m_unit->check;
    m_diagnosticsLink = &m_unit->diagnostics;
    m_scopeRecording = &m_unit->recording;
    m_cutOffReader = &m_unit->cutOff;
}

void MainWindow::buildPages()
{
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->setGeometry(0, 0, ClientWidth, ClientHeight);
    // All the tabs must fit in one row, as on the unit's own service PCs. On the bar alone: a style
    // sheet on the pages would send every control on them through the slower style-sheet painting.
    m_pages->tabBar()->setStyleSheet(QStringLiteral(
        "QTabBar::tab { padding: 3px 3px; border: 1px solid #a0a0a0; border-bottom: none;"
        " background: #e4e4e4; margin-right: -1px; }"
        "QTabBar::tab:selected { background: #fafafa; font-weight: bold; }"
        "QTabBar::tab:!selected { margin-top: 2px; }"));
    m_pages->setUsesScrollButtons(false);

    m_pageTable = pageTable();
    for (const WindowPage &row : std::as_const(m_pageTable)) {
        QWidget *page = row.build();
        page->setObjectName(QString::fromLatin1(row.objectName));
        m_pages->addTab(page, QString::fromUtf8(row.caption));
    }
    m_linkMessageLabel = m_lambda->linkMessageLabel();
    m_pages->setCurrentIndex(0);
    connect(m_pages, &QTabWidget::currentChanged, this, [this] {
        if (!m_pageByCode)
            returnToPollingOnPageChange();
    });
}

void MainWindow::guardReads()
{
    // "Načíst z ŘJ" replaces the whole set: unsaved changes are asked about first. With no port
    // open the read only says so, and nothing needs asking.
    UnitCommands *commands = m_tuning->commands();
    for (QPushButton *read : {m_tuning->readBlockButton(), m_lambda->readBlockButton()}) {
        disconnect(read, &QPushButton::clicked, commands, &UnitCommands::readBlock);
        connect(read, &QPushButton::clicked, commands, [this, commands] {
            if (!m_port->isOpen() || m_service->unsaved()->mayReplace())
                commands->readBlock();
        });
    }
    // So do the level read and the block read that follows a measurement.
    m_lambda->levels()->setMayReplaceLevels([this] { return !m_port->isOpen() || m_service->unsaved()->mayReplaceLevels(); });
    m_lambda->measurement()->setReplaceGuard([this] { return m_service->unsaved()->pending(); },
                                             [this] { return m_service->unsaved()->mayReplace(); });
}

void MainWindow::buildShortcuts()
{
    // A hidden menu whose items are never seen: they serve only as the window's shortcuts.
    auto *menu = new QMenu(QStringLiteral("Menu"), this);
    menu->setObjectName(QStringLiteral("Uloz2"));
    // An item shows a page, runs what works from every page, or both (page first); `what` is
    // what the Info page says it does.
    struct Item
    {
        const char *name;
        const char *caption;
        QKeySequence keys;
        QWidget *page;
        std::function<void()> run;
        QString what;
    };
    // The pages' shortcuts in the order the Info page lists them, then those that work from every page.
    QList<const WindowPage *> rows;
    for (const WindowPage &row : std::as_const(m_pageTable))
        rows.append(&row);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const WindowPage *a, const WindowPage *b) { return a->shortcut.listed < b->shortcut.listed; });
    QList<Item> items;
    for (const WindowPage *row : std::as_const(rows)) {
        const int index = int(row - m_pageTable.constData());
        items.append({row->shortcut.name, row->shortcut.caption, row->shortcut.keys, m_pages->widget(index), row->shortcut.also,
                      QStringLiteral("stránka \"%1\"").arg(m_pages->tabText(index)) + QString::fromUtf8(row->shortcut.alsoSays)});
    }
    items += {
        {"Protokol1", "Protokol", QKeySequence(Qt::CTRL | Qt::Key_T), m_diagnostics, [this] { m_report->makeReport(); },
         QStringLiteral("stránka \"Palubní diagnostika\" a servisní protokol")},
        {"Zaznam1", "Zaznam", QKeySequence(Qt::CTRL | Qt::Key_R), nullptr, [this] { m_recording->toggleRecording(); },
         QStringLiteral("spuštění a zastavení záznamu živých hodnot")},
        {"Znacka1", "Znacka", QKeySequence(Qt::Key_F2), nullptr, [this] { m_recording->placeMarker(); },
         QStringLiteral("značka do záznamu živých hodnot")},
    };
    for (const Item &item : std::as_const(items)) {
        auto *action = new QAction(QString::fromLatin1(item.caption), this);
        action->setObjectName(QString::fromLatin1(item.name));
        action->setShortcut(item.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        // What the Info page says the shortcut does.
        action->setToolTip(item.what);
        connect(action, &QAction::triggered, this, [this, page = item.page, run = item.run] {
            if (page)
                showPage(page);
            if (run)
                run();
        });
        menu->addAction(action);
        addAction(action);
    }
    giveWindowShortcutsPrecedence(this);
}

void MainWindow::showInfo()
{
    QStringList shortcuts;
    const QList<QAction *> all = actions();
    for (const QAction *action : all) {
        if (!action->shortcut().isEmpty())
            shortcuts << action->shortcut().toString(QKeySequence::NativeText) + QStringLiteral(" – ") + action->toolTip();
    }
    InfoPage::Captions captions;
    captions.readDiagnostics = m_diagnostics->readButton()->text();
    captions.readBlock = m_tuning->readBlockButton()->text();
    captions.sendBlock = m_tuning->writeBlockButton()->text();
    m_info->showNotes(captions, shortcuts);
}

void MainWindow::buildConnectionLine(PortSource ports)
{
    m_line = new ConnectionLine(std::move(ports), this);
    m_line->setGeometry(0, ClientHeight, ClientWidth, ConnectionLine::Height);
    connect(m_line->picker(), &PortPicker::portChosen, this, &MainWindow::choosePort);
    connect(m_connection, &LinkConnection::healthChanged, this, &MainWindow::showHealth);
    showHealth();
}

void MainWindow::showHealth()
{
    if (m_connection->portName().isEmpty() && m_connection->health() == LinkConnection::Health::Closed)
        m_line->showNoPortChosen(choosePortText());
    else
        m_line->showHealth(m_connection->health(), portProblemText(m_connection->problem()));
    if (m_port->isOpen())
        m_prompts->closeNotice();
    // Values on screen that the unit no longer confirms must not look live.
    const bool stale = m_connection->health() != LinkConnection::Health::Answering;
    m_live->setStale(stale);
    m_tuning->liveBox()->setStale(stale);
}

void MainWindow::choosePort(const QString &name)
{
    // Opened at once; one that will not open shows on the line and is tried again every second.
    m_connection->openPort(name);
    m_line->picker()->setCurrentPort(name);
    // Back to the pages, so the window's shortcuts (Ctrl+A, Ctrl+C) are not taken by the picker's edit.
    m_pages->setFocus();
    QString settingsPath = findSettingsFile(m_workingFolder);
    if (settingsPath.isEmpty())
        settingsPath = QDir(m_workingFolder).filePath(QStringLiteral("TESTER.INI"));
    const QString error = saveProfileValue(settingsPath, QStringLiteral("Komunikace"), QStringLiteral("Port"), name);
    if (!error.isEmpty())
        m_prompts->error(boxCaption(),
                         error + QStringLiteral("\nZvolený port %1 platí jen do ukončení programu.").arg(name));
}

void MainWindow::showPage(QWidget *page)
{
    m_pageByCode = true;
    m_pages->setCurrentWidget(page);
    m_pageByCode = false;
}

void MainWindow::returnToPollingOnPageChange()
{
    // The readers end (a recording's check box is cleared) and the poll runs again, unless an
    // exchange still holds the link: its answer or time-out hands it back and gives its outcome.
    // Then every page drops what it keeps only while it is in use.
    m_link->returnToPolling();
    for (const WindowPage &row : std::as_const(m_pageTable)) {
        if (row.dropOnPageChange)
            row.dropOnPageChange();
    }
    emit pageSelectedByUser();
}

void MainWindow::startUp(const QString &workingFolder)
{
    m_workingFolder = workingFolder;
    const TesterSettings settings = loadTesterSettings(workingFolder);
    applySettings(settings);
    m_recordings->analysis()->setLimits(settings.analysisLimits);
    const bool portOpen = openPort(settings.port, settings.portNamed);
    QString notice = settings.notice();
    if (!portOpen && !settings.portNamed && !notice.isEmpty())
        notice += QStringLiteral("\n\n") + choosePortText();
    if (!notice.isEmpty())
        m_prompts->message(QStringLiteral("Info"), notice);
    if (!portOpen && !settings.portNamed)
        QTimer::singleShot(0, m_line->picker(), &PortPicker::showPopup);

    // The one folder relative names resolve to; the process's current folder is left alone.
    QDir(workingFolder).mkpath(QStringLiteral("data"));
    m_setup.setDataFolder(QDir(workingFolder).absoluteFilePath(QStringLiteral("data")));
    m_service->pointAt(m_setup.dataFolder());
    WindowSize::restore(this, m_setup.dataFolder());
    m_scope->control()->setDataFolder(m_setup.dataFolder());
    updateCaption();

    m_link->prepareFrames();
    m_data->set().reset();
    m_measurement->stopMeasurement();
    // The poll started when the port opened; a port that did not open starts it when it does.
    m_link->setPollInterval(settings.pollInterval);
    m_tuning->display()->highlightPowerRange();
    startHistory(settings);
    sayKeptChanges();
}

void MainWindow::startHistory(const TesterSettings &settings)
{
    HistoryTarget target = settings.history;
    target.sqlitePath = m_setup.dataFilePath(QStringLiteral("historie.sqlite"));
    m_historyStore = new HistoryStore(target, m_setup.dataFilePath(QStringLiteral("historie-fronta")), this);
    connect(m_historyStore, &HistoryStore::notice, this, [this](const QString &text) { m_prompts->message(QStringLiteral("Historie"), text); });
    connect(m_historyStore, &HistoryStore::stateChanged, this,
            [this] { m_line->showHistory(m_historyStore->statusText(), m_historyStore->problem()); });
    // Asked once; kept only for this session.
    connect(m_historyStore, &HistoryStore::passwordNeeded, this, [this] {
        const QString password = m_prompts->askPassword(QStringLiteral("Kartotéka"), QStringLiteral("Heslo pro %1:").arg(m_historyStore->target().describe()));
        if (!password.isEmpty())
            m_historyStore->providePassword(password);
    });
    m_visitRecorder = new VisitRecorder(m_data, {m_link, m_connection, m_blockRead, m_levels, m_blockWrite, m_diagnosticsLink},
                                        m_historyStore, this);
    m_visitRecorder->setTechnician(settings.workshop.technician);
    m_service->backups()->setUnitOnLine([recorder = m_visitRecorder] { return recorder->unitOnLine(); });
    connect(m_report, &ReportController::reportWritten, m_visitRecorder, &VisitRecorder::reportMade);
    m_report->setPreviousVisit([this] {
        const Visit *visit = m_previousVisit->previous();
        if (!visit)
            return PreviousVisit();
        return PreviousVisit{visit->started, visit->technician, visit->sets.isEmpty() ? ParameterSet() : visit->sets.last().set};
    });
    connect(m_report, &ReportController::detailsAnswered, m_visitRecorder, [this](const VehicleDetails &details) {
        m_visitRecorder->setCustomer(details.customer, details.plate.isEmpty() ? details.vin : details.plate);
    });
    LogRecorder *log = m_recording->recorder();
    connect(log, &LogRecorder::started, m_visitRecorder, &VisitRecorder::recordingStarted);
    connect(log, &LogRecorder::stopped, m_visitRecorder, [this, log] {
        if (log->files().isEmpty())
            return;
        const QString path = log->files().last();
        m_visitRecorder->recordingStopped(path);
        m_keptAnalyses->whenAnalysed(path, m_data->set().value(), m_recordings->analysis()->limits(), m_visitRecorder,
                                     [recorder = m_visitRecorder, path](const RecordingAnalysis &analysis) {
                                         recorder->recordingAnalysed(path, analysisSummary(analysis));
                                     });
    });
    m_history->attach(m_historyStore, m_visitRecorder, m_data, &m_setup, m_service, m_prompts);
    m_previousVisit->follow(m_historyStore, m_visitRecorder, m_data, &m_setup);
    m_historyStore->start();
    m_historyStore->importOnce(m_setup.dataFolder(), QSysInfo::machineHostName());
}

void MainWindow::sayKeptChanges()
{
    const QString kept = BackupStore(BackupStore::folderIn(m_setup.dataFolder())).takeUnsavedNote();
    if (!kept.isEmpty())
        m_prompts->message(QStringLiteral("Info"),
                           QStringLiteral("Program byl minule ukončen systémem a neuložené změny byly uloženy do souboru\n%1\n"
                                          "Načtete je tlačítkem \"Načti ze souboru\" na stránce Servis.")
                               .arg(QDir::toNativeSeparators(kept)));
}

void MainWindow::updateCaption()
{
    const ConfigFiles *files = m_service->files();
    const QString name = files->backupSource().isEmpty() ? files->fileName()
                                                         : QStringLiteral("ze zálohy ") + QFileInfo(files->backupSource()).fileName();
    const bool unsaved = m_service->unsaved()->pending();
    setWindowTitle(captionPrefix() + QLatin1Char(' ') + name + (unsaved ? QStringLiteral("*") : QString()));
}

void MainWindow::applySettings(const TesterSettings &settings)
{
    m_scope->control()->fillAddressNames(settings.addressNames);
    m_setup.setMeasurementTexts(settings.measurementTexts);
    m_setup.setVersionNames(settings.versionNames);
    m_tuning->setCommandCaptions(settings.buttonCaptions);
    showInfo();
    m_report->setWorkshop(settings.workshop);
}

bool MainWindow::openPort(const QString &name, bool named)
{
    // A port that cannot be opened is reported once, and start-up goes on: the tool is still
    // useful for files, and the port is tried again every second until it is there. The default
    // of a file that names none was never the technician's choice: it is only tried, and the
    // picker is offered instead of an alarm.
    EComPort error;
    if (!m_connection->openPort(name, &error)) {
        if (named)
            m_prompts->error(boxCaption(), portErrorText(error));
        else
            m_connection->dropPort();
    }
    m_line->picker()->setCurrentPort(m_connection->portName());
    return m_port->isOpen();
}

QString MainWindow::choosePortText()
{
    return QStringLiteral("Port převodníku vyberte v dolní liště okna, do TESTER.INI se zapíše sám.");
}

int MainWindow::pollInterval() const
{
    return m_link->pollInterval();
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!m_pages || !m_line)
        return;
    m_pages->setGeometry(0, 0, width(), height() - ConnectionLine::Height);
    m_line->setGeometry(0, height() - ConnectionLine::Height, width(), ConnectionLine::Height);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_stoppedBySystem && !mayClose()) {
        event->ignore();
        return;
    }
    if (m_visitRecorder)
        m_visitRecorder->closeVisit();
    m_connection->closePort();
    WindowSize::keep(this, m_setup.dataFolder());
    event->accept();
}

bool MainWindow::mayClose()
{
    if (!mayLeaveRamChanges())
        return false;
    if (!m_service->unsaved()->pending())
        return true;
    switch (m_prompts->askSaveChanges(QStringLiteral("Pozor !!!"), QStringLiteral("Máte neuložené změny. Uložit je do souboru?"))) {
    case Prompts::SaveChoice::Save: return m_service->files()->saveSetAs();
    case Prompts::SaveChoice::Discard: return true;
    case Prompts::SaveChoice::Cancel: break;
    }
    return false;
}

bool MainWindow::mayLeaveRamChanges()
{
    if (m_committingBeforeClose)
        return false;
    // Without a port nothing can be committed any more: asking would only hold the tool open.
    if (!m_data->set().ramOnlyChanges() || !m_port->isOpen())
        return true;
    switch (m_prompts->askSaveChanges(QStringLiteral("Pozor !!!"),
                                      QStringLiteral("Jednotka má v RAM změny, které nejsou v EEPROM. Uložit je do EEPROM (RAM->EEPROM)?"))) {
    case Prompts::SaveChoice::Save:
        // Closed from the event loop, not from inside the link's own send, which may run at once.
        m_committingBeforeClose = true;
        if (!m_tuning->commands()->commitToEeprom([this] {
                m_committingBeforeClose = false;
                QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
            }))
            m_committingBeforeClose = false;
        return false;
    case Prompts::SaveChoice::Discard: return true;
    case Prompts::SaveChoice::Cancel: break;
    }
    return false;
}

QString MainWindow::keepUnsavedChanges()
{
    QString error;
    const QString kept = m_service->unsaved()->keepForLater(&error);
    if (!error.isEmpty())
        qWarning("Velkor: neuložené změny nelze uložit: %s", qPrintable(error));
    return kept;
}

void MainWindow::stopBySystem()
{
    keepUnsavedChanges();
    m_stoppedBySystem = true;
    close();
}
