#include "historybrowser.h"
#include "toolsetup/toolsetup.h"
#include "historypage.h"
#include "visitdetails.h"
#include "cfgfiles/backupkeeper.h"
#include "cfgfiles/backupstore.h"
#include "cfgfiles/configfiles.h"
#include "cfgfiles/servicepage.h"
#include "cfgfiles/setcomparisonview.h"
#include "cfgfiles/unsavedchanges.h"
#include "history/historystore.h"
#include "history/unitname.h"
#include "history/visitrecorder.h"
#include "prompts/prompts.h"
#include "link/unitdata.h"
#include "tuning/paramblock.h"
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QUrl>

namespace {
const QString Caption = QStringLiteral("Historie");
constexpr int IdRole = Qt::UserRole;
constexpr int NamedRole = Qt::UserRole + 1;  // the unit has a number (not "bez čísla")

// Puts the selection back on the row with `id` after a list was filled again.
void select(QTreeWidget *list, const QString &id)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->data(0, IdRole).toString() == id) {
            list->setCurrentItem(list->topLevelItem(i));
            return;
        }
    }
}
}  // namespace

HistoryBrowser::HistoryBrowser(HistoryPage *page, HistoryStore *store, VisitRecorder *recorder, UnitData *data,
                               const ToolSetup *setup, ServicePage *service, Prompts *prompts, QObject *parent)
    : QObject(parent), m_page(page), m_store(store), m_recorder(recorder), m_data(data), m_setup(setup), m_service(service),
      m_prompts(prompts),
      m_open([](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }),
      m_reportFolder(QDir::temp().filePath(QStringLiteral("velkor-historie")))
{
    connect(page->search(), &QLineEdit::textChanged, this, [this] { m_store->requestUnits(m_page->search()->text()); });
    connect(store, &HistoryStore::unitsLoaded, this, &HistoryBrowser::showUnits);
    connect(store, &HistoryStore::visitsLoaded, this, &HistoryBrowser::showVisits);
    connect(store, &HistoryStore::visitLoaded, this, &HistoryBrowser::showVisit);
    // Read only while shown: start-up asks the history nothing, and a shown page follows every change.
    connect(store, &HistoryStore::changed, this, [this] {
        if (m_page->isVisible())
            refresh();
    });
    page->installEventFilter(this);
    connect(store, &HistoryStore::stateChanged, this, &HistoryBrowser::showState);
    connect(page->units(), &QTreeWidget::currentItemChanged, this, &HistoryBrowser::unitSelected);
    connect(page->visits(), &QTreeWidget::currentItemChanged, this, &HistoryBrowser::visitSelected);
    connect(page->saveVehicle(), &QPushButton::clicked, this, &HistoryBrowser::saveVehicle);
    connect(page->vehicle(), &QLineEdit::returnPressed, this, &HistoryBrowser::saveVehicle);
    connect(page->openReport(), &QPushButton::clicked, this, &HistoryBrowser::openReport);
    if (recorder) {
        page->technician()->setText(recorder->technician());
        connect(page->technician(), &QLineEdit::editingFinished, this,
                [this] { m_recorder->setTechnician(m_page->technician()->text().trimmed()); });
    }
    connect(page->saveNotes(), &QPushButton::clicked, this, &HistoryBrowser::saveNotes);
    connect(page->nameUnit(), &QPushButton::clicked, this, &HistoryBrowser::nameUnit);
    connect(page->markSet(), &QPushButton::clicked, this, &HistoryBrowser::markSet);
    connect(page->compareMarked(), &QPushButton::clicked, this, [this] { compare(m_marked, m_markedName); });
    connect(page->compareTool(), &QPushButton::clicked, this, &HistoryBrowser::compareWithTool);
    connect(page->takeSet(), &QPushButton::clicked, this, &HistoryBrowser::takeSet);
    showState();
    if (page->isVisible())
        refresh();
}

bool HistoryBrowser::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_page && event->type() == QEvent::Show)
        refresh();
    return QObject::eventFilter(watched, event);
}

void HistoryBrowser::refresh()
{
    m_store->requestUnits(m_page->search()->text());
    if (!m_unitId.isEmpty())
        m_store->requestVisits(m_unitId);
    if (!m_visitId.isEmpty())
        m_store->requestVisit(m_visitId, true);
}

void HistoryBrowser::showState()
{
    const QString text = m_store->statusText();
    m_page->status()->setText(text.isEmpty() ? QStringLiteral("Kartotéka: %1").arg(m_store->target().describe()) : text);
    m_page->status()->setToolTip(m_store->problem());
}

void HistoryBrowser::showUnits(const QString &filter, const QList<UnitSummary> &units)
{
    // An answer to a search already typed over is no answer.
    if (filter != m_page->search()->text())
        return;
    QTreeWidget *list = m_page->units();
    const QSignalBlocker quiet(list);
    list->clear();
    for (const UnitSummary &u : units) {
        auto *item = new QTreeWidgetItem(list, {UnitName::serial(u.unit), UnitName::year(u.unit), u.vehicle,
                                                VisitDetails::timeText(u.lastVisit), QString::number(u.visitCount)});
        item->setData(0, IdRole, u.id);
        item->setData(0, NamedRole, u.unit.has_value());
    }
    select(list, m_unitId);
}

void HistoryBrowser::unitSelected()
{
    const QTreeWidgetItem *item = m_page->units()->currentItem();
    const QString id = item ? item->data(0, IdRole).toString() : QString();
    if (id == m_unitId)
        return;
    m_unitId = id;
    m_unitNamed = item && item->data(0, NamedRole).toBool();
    m_page->vehicle()->setText(item ? item->text(2) : QString());
    m_page->nameUnit()->setEnabled(item && !m_unitNamed);
    m_page->visits()->clear();
    if (!id.isEmpty())
        m_store->requestVisits(id);
}

void HistoryBrowser::showVisits(const QString &unitId, const QList<VisitSummary> &visits)
{
    if (unitId != m_unitId)
        return;
    QTreeWidget *list = m_page->visits();
    const QSignalBlocker quiet(list);
    list->clear();
    for (const VisitSummary &v : visits) {
        auto *item = new QTreeWidgetItem(list, {VisitDetails::timeText(v.started), v.technician, v.pc, QString::number(v.writes)});
        item->setData(0, IdRole, v.id);
    }
    select(list, m_visitId);
}

void HistoryBrowser::visitSelected()
{
    const QTreeWidgetItem *item = m_page->visits()->currentItem();
    m_visitId = item ? item->data(0, IdRole).toString() : QString();
    if (!m_visitId.isEmpty())
        m_store->requestVisit(m_visitId, true);
}

void HistoryBrowser::showVisit(const Visit &visit, const Visit &previous)
{
    if (visit.id != m_visitId)
        return;
    m_visit = visit;
    m_page->details()->setHtml(VisitDetails::html(visit, previous, m_setup->versionNames()));
    QTreeWidget *sets = m_page->sets();
    const int row = sets->currentIndex().row();
    sets->clear();
    for (const VisitSet &s : visit.sets) {
        const QString version = s.set.isEmpty() ? QString() : m_setup->versionName(s.set.param(ParamBlock::SetVersion));
        // As the backups list says it: such a set writes no levels when taken back.
        const QString levels = s.set.isEmpty() || s.set.hasLevels() ? QString() : QStringLiteral(" – bez úrovní");
        new QTreeWidgetItem(sets, {s.at.toLocalTime().toString(QStringLiteral("H:mm:ss")),
                                   VisitDetails::setKind(s) + QStringLiteral(" – ") + version + levels, VisitDetails::checkText(s)});
    }
    if (row >= 0 && row < sets->topLevelItemCount())
        sets->setCurrentItem(sets->topLevelItem(row));
    m_page->openReport()->setEnabled(!visit.reports.isEmpty());
    // What the technician is typing stays; another visit brings its own notes.
    if (m_notesOf != visit.id) {
        m_notesOf = visit.id;
        m_page->notes()->setPlainText(visit.notes);
    }
}

// A number the technician typed within its range; none when the question was left empty or refused.
std::optional<int> HistoryBrowser::askNumber(const QString &label, int low, int high, const QString &refusal)
{
    const QString typed = m_prompts->askText(Caption, label).trimmed();
    if (typed.isEmpty())
        return std::nullopt;
    bool number = false;
    const int value = typed.toInt(&number);
    if (!number || value < low || value > high) {
        m_prompts->error(Caption, refusal);
        return std::nullopt;
    }
    return value;
}

void HistoryBrowser::nameUnit()
{
    if (m_unitId.isEmpty() || m_unitNamed)
        return;
    // Serial numbers repeat between years: the unit is both.
    const std::optional<int> serial = askNumber(QStringLiteral("Číslo serie jednotky (0–255):"), 0, 255,
                                                QStringLiteral("Číslo serie je číslo od 0 do 255."));
    if (!serial)
        return;
    const std::optional<int> year = askNumber(QStringLiteral("Rok výroby jednotky (2000–2255):"), 2000, 2255,
                                              QStringLiteral("Rok výroby je číslo od 2000 do 2255."));
    if (!year)
        return;
    const UnitIdentity unit{*serial, *year};
    m_store->nameUnit(m_unitId, unit);
    if (m_recorder && m_recorder->isOpen() && m_recorder->visit().unitId == m_unitId)
        m_recorder->nameUnit(unit);
}

void HistoryBrowser::saveNotes()
{
    if (m_visit.id.isEmpty())
        return;
    const QString notes = m_page->notes()->toPlainText();
    // The open visit carries them on; a closed one gets its notes alone, so nothing else another PC
    // changed meanwhile is written over.
    if (m_recorder && m_recorder->isOpen() && m_recorder->visit().id == m_visit.id) {
        m_recorder->setNotes(notes);
        return;
    }
    m_visit.notes = notes;
    m_store->saveNotes(m_visit.id, notes);
}

const VisitSet *HistoryBrowser::selectedSet() const
{
    const int row = m_page->sets()->currentIndex().row();
    return row >= 0 && row < m_visit.sets.size() ? &m_visit.sets[row] : nullptr;
}

void HistoryBrowser::saveVehicle()
{
    if (m_unitId.isEmpty())
        return;
    const QString vehicle = m_page->vehicle()->text().trimmed();
    m_store->setVehicle(m_unitId, vehicle);
    // The open visit carries it on, so a visit queued later does not bring back the old one.
    if (m_recorder && m_recorder->isOpen() && m_recorder->visit().unitId == m_unitId)
        m_recorder->setVehicle(vehicle);
}

void HistoryBrowser::openReport()
{
    if (m_visit.reports.isEmpty()) {
        m_prompts->message(Caption, QStringLiteral("Tato návštěva nemá protokol."));
        return;
    }
    const VisitReport &report = m_visit.reports.last();
    QDir().mkpath(m_reportFolder);
    QSaveFile file(QDir(m_reportFolder).filePath(report.name));
    const bool written = file.open(QIODevice::WriteOnly) && file.write(report.pdf) == report.pdf.size() && file.flush() && file.commit();
    if (!written || !m_open(file.fileName()))
        m_prompts->error(Caption, QStringLiteral("Protokol %1 nelze otevřít.").arg(QDir::toNativeSeparators(file.fileName())));
}

void HistoryBrowser::markSet()
{
    const VisitSet *set = selectedSet();
    if (!set)
        return;
    m_marked = set->set;
    m_markedName = VisitDetails::timeText(set->at);
}

void HistoryBrowser::compare(const ParameterSet &a, const QString &aName)
{
    const VisitSet *set = selectedSet();
    if (!set || a.isEmpty()) {
        m_prompts->message(Caption, QStringLiteral("Vyberte sadu v seznamu (a pro porovnání dvou sad nejdřív označte první)."));
        return;
    }
    QTreeWidget *table = m_page->comparison();
    table->setHeaderLabels({QStringLiteral("Hodnota"), aName, VisitDetails::timeText(set->at)});
    SetComparisonView::fill(table, compareSets(a, set->set, m_setup->versionNames()));
    m_page->cards()->setCurrentWidget(table);
}

void HistoryBrowser::compareWithTool()
{
    compare(m_data->set().value(), QStringLiteral("Program"));
}

void HistoryBrowser::takeSet()
{
    const VisitSet *set = selectedSet();
    if (!set || set->set.isEmpty() || !m_service->unsaved()->mayReplace())
        return;
    // Kept in the backup folder first and loaded from there, so it is never a file to save into.
    const QString version = m_setup->versionName(set->set.param(ParamBlock::SetVersion));
    const BackupStore::Result kept = m_service->backups()->store().store(set->set, set->at.toLocalTime(), version, m_visit.unit);
    if (kept.outcome == BackupStore::Outcome::Failed) {
        m_prompts->error(Caption, kept.error);
        return;
    }
    m_service->backups()->refresh();
    m_service->files()->loadConfigFile(kept.path);
}
