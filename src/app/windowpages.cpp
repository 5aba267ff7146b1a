#include "mainwindow.h"
#include "infopage.h"
#include "cfgfiles/servicepage.h"
#include "cutoff/cutoffcontrol.h"
#include "cutoff/cutoffpage.h"
#include "datalog/recordingcontrol.h"
#include "datalog/recordingsbrowser.h"
#include "datalog/analysiscontrol.h"
#include "datalog/recordingspage.h"
#include "diagnostics/diagnosticspage.h"
#include "diagnostics/recorddisplay.h"
#include "link/linkconnection.h"
#include "historypage/historypage.h"
#include "lambda/lambdapage.h"
#include "lambda/lambdastatuseditor.h"
#include "livepage/livevaluespage.h"
#include "scope/scopepage.h"
#include "tuning/spinedit.h"
#include "tuning/tuningpage.h"

QList<WindowPage> MainWindow::pageTable()
{
    return {
        {"Ladění", "TabSheet1", {"LADENI1", "LADENI", QKeySequence(Qt::CTRL | Qt::Key_L), 0},
         [this] { return m_tuning = new TuningPage(m_data, &m_setup); }},
        {"Aktualní", "TabSheet2", {"Aktualni", "Atkual", QKeySequence(Qt::CTRL | Qt::Key_A), 1},
         [this] { return m_live = new LiveValuesPage(m_data); }},
        {"Servis", "TabSheet3",
         {"Uloz", "Uloz", QKeySequence(Qt::CTRL | Qt::Key_S), 2, [this] { emit saveCurrentStateRequested(); },
          " a uložení aktuálního stavu"},
         [this] { return m_service = new ServicePage; }},
        {"Editace Lambda status", "TabSheet4", {"Editacelambda1", "Editace lambda", QKeySequence(Qt::CTRL | Qt::Key_E), 3},
         [this] { return m_lambda = new LambdaPage(m_data, &m_setup); }, {},
         // Choices not saved with the page's "Ulož" are dropped, and the page says so.
         [this] { m_lambda->statusEditor()->dropDraftsOnPageChange(); }},
        {"Palubní diagnostika", "TabSheet6",
         {"Palubnidiagnostika1", "Palubni diagnostika", QKeySequence(Qt::CTRL | Qt::Key_P), 4},
         [this] { return m_diagnostics = new DiagnosticsPage; },
         [this] {
             m_diagnostics->attach(m_diagnosticsLink, m_prompts);
             // A link that stopped answering may come back to another unit: its record is read anew.
             connect(m_connection, &LinkConnection::healthChanged, this, [this](LinkConnection::Health health) {
                 if (health != LinkConnection::Health::Answering)
                     m_diagnostics->display()->forgetRecord();
             });
         }},
        {"Cut-off", "data", {"CutOff1", "Cut Off", QKeySequence(Qt::CTRL | Qt::Key_C), 5},
         [this] { return m_cutOff = new CutOffPage; },
         [this] { m_cutOff->attach(m_cutOffReader, m_scopeRecording, m_prompts); },
         // "Komunikace Ladění" is selected as by a click: the cut-off reading ends.
         [this] { m_cutOff->control()->selectTuningCommunication(); }},
        {"Oscil", "TabSheet5", {"Osciloskop1", "Osciloskop", QKeySequence(Qt::CTRL | Qt::Key_O), 7},
         [this] { return m_scope = new ScopePage; },
         [this] { m_scope->attach(m_scopeRecording, m_prompts); }},
        {"Záznamy", "Zaznamy", {"Zaznamy1", "Zaznamy", QKeySequence(Qt::CTRL | Qt::Key_G), 8},
         [this] { return m_recordings = new RecordingsPage; },
         [this] {
             m_recordings->attach(m_data, &m_setup, m_prompts);
             // A proposal taken from the analysis is typed into the tuning page's control, as by hand.
             m_recordings->analysis()->setHandEdit([this](int index, int value) { m_tuning->spinEdit(index)->setValue(value); });
             connect(m_recording, &RecordingControl::recordingsChanged, m_recordings->browser(), &RecordingsBrowser::refreshList);
         }},
        {"Historie", "Historie", {"Historie1", "Historie", QKeySequence(Qt::CTRL | Qt::Key_H), 9},
         [this] { return m_history = new HistoryPage; }},
        {"Info - F1", "TabSheet7", {"Informace1", "Info", QKeySequence(Qt::Key_F1), 6},
         [this] { return m_info = new InfoPage; }},
    };
}
