#include "previousvisitnote.h"
#include "toolsetup/toolsetup.h"
#include "visitdetails.h"
#include "cfgfiles/setcomparison.h"
#include "cfgfiles/setcomparisonview.h"
#include "history/historystore.h"
#include "history/visitrecorder.h"
#include "link/unitdata.h"
#include <QColor>

PreviousVisitNote::PreviousVisitNote(Prompts *prompts, QObject *parent) : QObject(parent), m_prompts(prompts) {}

QColor PreviousVisitNote::pickColour(const QColor &initial)
{
    return m_prompts->pickColour(initial);
}

void PreviousVisitNote::follow(HistoryStore *store, VisitRecorder *recorder, UnitData *data, const ToolSetup *setup)
{
    m_store = store;
    m_recorder = recorder;
    m_data = data;
    m_setup = setup;
    connect(recorder, &VisitRecorder::visitChanged, this, &PreviousVisitNote::visitChanged);
    connect(store, &HistoryStore::visitLoaded, this, [this](const Visit &visit, const Visit &previous) {
        if (!visit.id.isEmpty() && visit.id == m_asked)
            m_previous = previous;
    });
}

void PreviousVisitNote::visitChanged()
{
    const QString id = m_recorder->isOpen() ? m_recorder->visit().id : QString();
    if (id == m_asked)
        return;
    m_asked = id;
    m_previous = Visit();
    // The open visit is queued before this question, so the store answers it with its predecessor.
    if (!id.isEmpty())
        m_store->requestVisit(id, true);
}

const Visit *PreviousVisitNote::previous() const
{
    if (m_previous.id.isEmpty() || !m_recorder || !m_recorder->isOpen() || m_previous.unitId != m_recorder->visit().unitId)
        return nullptr;
    return &m_previous;
}

QString PreviousVisitNote::text() const
{
    if (!previous())
        return {};
    QString line = QStringLiteral("Předchozí návštěva %1").arg(VisitDetails::timeText(m_previous.started));
    if (!m_previous.technician.isEmpty())
        line += QStringLiteral(" (%1)").arg(m_previous.technician);
    if (!m_previous.sets.isEmpty()) {
        int differing = 0;
        for (const ComparisonRow &row : compareSets(m_previous.sets.last().set, m_data->set().value(), m_setup->versionNames()))
            differing += row.differs;
        line += differing == 0 ? QStringLiteral(": sada beze změny") : QStringLiteral(": od ní %1 v sadě").arg(SetComparisonView::differences(differing));
    }
    return line + QLatin1Char('.');
}

void PreviousVisitNote::offerUnitDetails(ReportQuestion &question) const
{
    if (!question.customer.isEmpty() || !question.plate.isEmpty() || !question.vin.isEmpty() || !previous())
        return;
    question.customer = m_previous.customer;
    // The history keeps one vehicle text, a plate or a VIN; a VIN has 17 characters.
    (m_previous.vehicle.size() == 17 ? question.vin : question.plate) = m_previous.vehicle;
}

bool PreviousVisitNote::askReportOptions(ReportQuestion &question)
{
    offerUnitDetails(question);
    return m_prompts->askReportOptions(question);
}
