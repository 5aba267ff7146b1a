#include "analysiscontrol.h"
#include "analysispanel.h"
#include "analysistable.h"
#include "analysis/driveanalyzer.h"
#include "cfgfiles/configfile.h"
#include "driveinputbuilder.h"
#include "keptanalyses.h"
#include "recordedsets.h"
#include "prompts/prompts.h"
#include "link/unitdata.h"
#include "plotwidget.h"
#include "recording.h"
#include "recordingsbrowser.h"
#include "recordingspage.h"
#include "tuning/paramblock.h"
#include "tuning/paramfields.h"
#include <QClipboard>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QThreadPool>

namespace {
const QString Caption = QStringLiteral("Rozbor");

// Whether the tool holds the set the recording was made with, give or take the stops, the
// version and the unit's status flags, which a technician's own edits and the unit change.
bool sameUnitSet(const ParameterSet &tool, const ParameterSet &recorded)
{
    if (tool.isEmpty() || recorded.isEmpty())
        return false;
    for (int i = 0; i < ParamBlock::Size; ++i) {
        const bool free = i == ParamBlock::UnitFlags || i == ParamBlock::SetVersion
                          || (i >= ParamBlock::IdleStopMax && i <= ParamBlock::FullPowerStopMin);
        if (!free && tool.param(i) != recorded.param(i))
            return false;
    }
    return true;
}

int stopIndex(int range, bool maxStop)
{
    return maxStop ? ParamFields::Ranges[range].dorMax : ParamFields::Ranges[range].dorMin;
}
}

AnalysisControl::AnalysisControl(RecordingsPage *page, RecordingsBrowser *browser, AnalysisPanel *panel,
                                 const UnitData *data, Prompts *prompts)
    : QObject(page), m_page(page), m_browser(browser), m_panel(panel), m_data(data), m_prompts(prompts)
{
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(150);
    connect(&m_refresh, &QTimer::timeout, this, &AnalysisControl::refresh);
    m_slices.setInterval(0);
    connect(&m_slices, &QTimer::timeout, this, &AnalysisControl::sliceDone);
    // The same file read again may sit where the last one was: convert it afresh.
    connect(browser, &RecordingsBrowser::recordingChanged, this, [this] { forget(m_shown); });
    connect(browser, &RecordingsBrowser::comparisonChanged, this, [this] { forget(m_compared); });
    connect(page->plot(), &PlotWidget::viewChanged, this, &AnalysisControl::refreshSoon);
    connect(panel->takeButton(), &QPushButton::clicked, this, &AnalysisControl::takeSelected);
    connect(panel->copyButton(), &QPushButton::clicked, this, &AnalysisControl::copyTable);
    connect(panel->csvButton(), &QPushButton::clicked, this, &AnalysisControl::saveCsv);
    showLimits();
    for (QSpinBox *box : {panel->stopShare(), panel->minSteady(), panel->step(), panel->distance()})
        connect(box, &QSpinBox::valueChanged, this, &AnalysisControl::takeLimits);
}

void AnalysisControl::showLimits()
{
    const QSignalBlocker a(m_panel->stopShare()), b(m_panel->minSteady()), c(m_panel->step()), d(m_panel->distance());
    m_panel->stopShare()->setValue(qRound(m_limits.proposalStopShare * 100));
    m_panel->minSteady()->setValue(qRound(m_limits.minSteadyS));
    m_panel->step()->setValue(m_limits.proposalStep);
    m_panel->distance()->setValue(m_limits.proposalDistance);
}

void AnalysisControl::takeLimits()
{
    m_limits.proposalStopShare = m_panel->stopShare()->value() / 100.0;
    m_limits.minSteadyS = m_panel->minSteady()->value();
    m_limits.proposalStep = m_panel->step()->value();
    m_limits.proposalDistance = m_panel->distance()->value();
    refreshSoon();
}

AnalysisControl::~AnalysisControl() = default;

void AnalysisControl::forget(Source &source)
{
    // The rows being converted may be gone already.
    m_slices.stop();
    m_building.reset();
    m_buildingFor = nullptr;
    ++m_generation;
    source = Source{};
    m_result.reset();
    refreshSoon();
}

void AnalysisControl::setLimits(const AnalysisLimits &limits)
{
    m_limits = limits;
    showLimits();
    refreshSoon();
}

bool AnalysisControl::prepare(Source &source, const Recording *recording, const QString &path)
{
    if (source.recording == recording && source.path == path && source.input)
        return true;
    source = Source{recording, path, nullptr, {}};
    if (!recording)
        return true;
    m_building = DriveInputBuilder::forFile(recording, path, m_data->set().value(), &source.kept);
    m_buildingFor = &source;
    return false;
}

void AnalysisControl::refresh()
{
    if (!m_panel->isVisible()) {
        m_busy = false;
        return;
    }
    ++m_generation;
    if (m_building) {
        m_buildingFor->recording = nullptr;
        m_building.reset();
    }
    m_slices.stop();
    if (!m_browser->recording()) {
        m_busy = false;
        m_result.reset();
        m_panel->info()->setText(QStringLiteral("Není otevřen žádný záznam."));
        return;
    }
    m_busy = true;
    m_panel->state()->setText(QStringLiteral("Počítá se…"));
    m_slices.start();
}

void AnalysisControl::sliceDone()
{
    if (m_building) {
        if (!m_building->step(SliceRows))
            return;
        m_buildingFor->input = m_building->result();
        m_building.reset();
    }
    if (showsKept()) {
        m_slices.stop();
        showKept();
        return;
    }
    // One recording at a time: the shown one, then the compared one.
    if (!prepare(m_shown, m_browser->recording(), m_browser->path())
        || !prepare(m_compared, m_browser->comparison(), m_browser->comparisonPath()))
        return;
    m_slices.stop();
    runAnalysis();
}

std::pair<int, int> AnalysisControl::rowsInView() const
{
    const Recording *r = m_browser->recording();
    const PlotView &view = m_page->plot()->view();
    const int first = r->rowAtOrAfter(view.fromMs);
    const int last = r->rowAtOrAfter(view.toMs + 1);
    return first < last ? std::pair{first, last} : std::pair{0, r->rows()};
}

bool AnalysisControl::showsKept() const
{
    return m_kept && m_browser->recording() && !m_browser->comparison() && rowsInView() == std::pair{0, m_browser->recording()->rows()};
}

void AnalysisControl::showKept()
{
    const QString path = m_browser->path();
    m_shown = Source{m_browser->recording(), path, nullptr, RecordedSets::load(path)};
    m_compared = Source{};
    const int generation = m_generation;
    m_kept->whenAnalysed(path, m_data->set().value(), m_limits, this, [this, generation](const RecordingAnalysis &kept) {
        if (kept.analysis) {
            show(generation, *kept.analysis, std::nullopt);
        } else if (generation == m_generation) {
            m_busy = false;
            m_panel->state()->clear();
            m_panel->info()->setText(QStringLiteral("Rozbor nebyl možný: %1").arg(kept.error));
        }
    });
}

void AnalysisControl::runAnalysis()
{
    const std::pair<int, int> rows = rowsInView();
    const int first = rows.first, last = rows.second;
    const std::shared_ptr<const DriveInput> shown = m_shown.input, compared = m_compared.input;
    const AnalysisLimits limits = m_limits;
    const int generation = m_generation;
    QPointer<AnalysisControl> self(this);
    QThreadPool::globalInstance()->start([=] {
        DriveAnalysis a = analyseDrive(*shown, limits, first, last);
        std::optional<DriveAnalysis> b;
        if (compared)
            b = analyseDrive(*compared, limits);
        // Back on the window's thread, where the control may have gone meanwhile.
        QMetaObject::invokeMethod(QCoreApplication::instance(), [self, generation, a, b] {
            if (self)
                self->show(generation, a, b);
        }, Qt::QueuedConnection);
    });
}

void AnalysisControl::show(int generation, const DriveAnalysis &shown, const std::optional<DriveAnalysis> &compared)
{
    if (generation != m_generation)
        return;
    m_busy = false;
    m_result = shown;
    m_comparison = compared;
    m_panel->showTable(AnalysisTable::of(shown, compared ? &*compared : nullptr));
    QListWidget *list = m_panel->proposals();
    list->clear();
    for (const StopProposal &p : shown.proposals) {
        auto *item = new QListWidgetItem(p.reason, list);
        item->setToolTip(p.reason);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    if (shown.proposals.empty()) {
        auto *none = new QListWidgetItem(QStringLiteral("Žádný návrh: %1").arg(shown.direction == EnrichDirection::Unknown
                                                                                  ? shown.directionWhy
                                                                                  : QStringLiteral("žádný doraz nedrží servo zpět")),
                                         list);
        none->setFlags(Qt::ItemIsEnabled);
    }
    m_panel->takeButton()->setEnabled(!shown.proposals.empty());
    m_panel->info()->setText(infoText());
    m_panel->state()->clear();
    emit analysed();
}

QString AnalysisControl::infoText() const
{
    const DriveAnalysis &a = *m_result;
    const Recording *r = m_shown.recording;
    QStringList parts;
    parts << (a.rows == r->rows() ? QStringLiteral("Celý záznam") : QStringLiteral("Část záznamu na grafu (%1 řádků)").arg(a.rows));
    parts << (a.setFromTool ? QStringLiteral("záznam nemá svou sadu: rozbor proti sadě nástroje")
                            : QStringLiteral("rozbor proti sadě záznamu"));
    parts << (a.direction == EnrichDirection::Unknown ? a.directionWhy : QStringLiteral("obohacuje: ") + a.directionWhy);
    if (m_comparison)
        parts << QStringLiteral("buňky: otevřený → porovnávaný (%1)").arg(QFileInfo(m_compared.path).fileName());
    return parts.join(QStringLiteral("; ")) + QLatin1Char('.');
}

void AnalysisControl::takeSelected()
{
    if (!m_result)
        return;
    std::vector<const StopProposal *> chosen;
    QListWidget *list = m_panel->proposals();
    for (int i = 0; i < list->count() && i < int(m_result->proposals.size()); ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            chosen.push_back(&m_result->proposals[std::size_t(i)]);
    if (chosen.empty()) {
        m_panel->state()->setText(QStringLiteral("Nic není vybráno."));
        return;
    }
    const ParameterSet tool = m_data->set().value();
    if (!m_data->set().blockValid() || (!m_shown.kept.empty() && !sameUnitSet(tool, m_shown.kept.back()))) {
        m_prompts->message(Caption, QStringLiteral("Nástroj drží jinou sadu, než se kterou byl záznam pořízen "
                                                   "(jiná jednotka nebo jiné nastavení).\nNávrhy nelze převzít."));
        return;
    }
    int taken = 0;
    QStringList skipped;
    for (const StopProposal *p : chosen) {
        const int index = stopIndex(p->range, p->maxStop);
        if (tool.param(index) != p->from) {
            skipped << QStringLiteral("%1 %2").arg(rangeCaption(p->range), p->maxStop ? QStringLiteral("MAX") : QStringLiteral("MIN"));
            continue;
        }
        if (m_handEdit)
            m_handEdit(index, p->to);
        ++taken;
    }
    QString text = QStringLiteral("Převzato do sady nástroje: %1; do jednotky jde až se zápisem sady.").arg(taken);
    if (!skipped.isEmpty())
        text += QStringLiteral(" Mezitím změněno, nepřevzato: %1.").arg(skipped.join(QStringLiteral(", ")));
    m_panel->state()->setText(text);
}

void AnalysisControl::copyTable()
{
    if (!m_result)
        return;
    QGuiApplication::clipboard()->setText(AnalysisTable::of(*m_result, m_comparison ? &*m_comparison : nullptr).text());
    m_panel->state()->setText(QStringLiteral("Tabulka je ve schránce."));
}

void AnalysisControl::saveCsv()
{
    if (!m_result)
        return;
    FileQuestion q;
    q.title = QStringLiteral("Uložit rozbor");
    q.folder = QFileInfo(m_shown.path).path();
    q.fileName = QFileInfo(m_shown.path).completeBaseName() + QStringLiteral("_rozbor.csv");
    q.filter = QStringLiteral("CSV (*.csv)");
    q.defaultSuffix = QStringLiteral("csv");
    q.confirmOverwrite = true;
    const QString path = m_prompts->askSaveFile(q);
    if (path.isEmpty())
        return;
    QString error;
    const QByteArray csv = AnalysisTable::of(*m_result, m_comparison ? &*m_comparison : nullptr).csv();
    if (!ConfigFile::writeAtomically(path, csv, &error))
        m_prompts->message(Caption, QStringLiteral("Rozbor nelze uložit: %1").arg(error));
    else
        m_panel->state()->setText(QStringLiteral("Uloženo: %1").arg(QFileInfo(path).fileName()));
}
