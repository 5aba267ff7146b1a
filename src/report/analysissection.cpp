#include "analysissection.h"
#include "datalog/fileanalysis.h"
#include "datalog/analysistable.h"
#include "analysis/findingwords.h"
#include "link/parameterset.h"
#include "tuning/paramblock.h"
#include "textformat/czechnumber.h"
#include <array>

namespace {
QString esc(const QString &text) { return text.toHtmlEscaped(); }

// The colours the page "Záznamy" gives its verdicts, dark enough to read in print.
QString verdictColour(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Green: return QStringLiteral("#1b7a2f");
    case Verdict::Amber: return QStringLiteral("#b06000");
    case Verdict::Red: return QStringLiteral("#c01818");
    case Verdict::None: break;
    }
    return QString();
}

QString tableHtml(const AnalysisTable &table)
{
    QString rows = QStringLiteral("<thead><tr><th width=\"22%\">Údaj</th>");
    for (const QString &column : table.columns)
        rows += QStringLiteral("<th>%1</th>").arg(esc(column));
    rows += QStringLiteral("</tr></thead>");
    for (const AnalysisTable::Row &row : table.rows) {
        rows += QStringLiteral("<tr><td>%1</td>").arg(esc(row.label));
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            QString text = esc(row.cells[c]);
            if (row.verdicts[c] != Verdict::None)
                text += QStringLiteral("<br><span style=\"color: %1; font-weight: bold;\">%2</span>")
                            .arg(verdictColour(row.verdicts[c]), esc(verdictText(row.verdicts[c])));
            rows += QStringLiteral("<td>%1</td>").arg(text);
        }
        rows += QStringLiteral("</tr>");
    }
    return QStringLiteral("<table class=\"grid\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">%1</table>").arg(rows);
}

// Why figures are missing, each reason once with the columns it holds for:
// "Chudá → bohatá (Malý výkon, Velký výkon): žádný přechod mezi 0,30 V a 0,60 V".
QStringList missingReasons(const AnalysisTable &table)
{
    QStringList keys;
    QList<QStringList> columns;
    for (const AnalysisTable::Row &row : table.rows) {
        for (std::size_t c = 0; c < row.notes.size(); ++c) {
            if (row.notes[c].isEmpty())
                continue;
            const QString key = row.label + QLatin1Char('\n') + row.notes[c];
            if (!keys.contains(key)) {
                keys << key;
                columns << QStringList();
            }
            columns[keys.indexOf(key)] << table.columns.value(int(c));
        }
    }
    QStringList reasons;
    for (int i = 0; i < keys.size(); ++i) {
        const QStringList parts = keys[i].split(QLatin1Char('\n'));
        reasons << QStringLiteral("%1 (%2): %3").arg(parts[0], columns[i].join(QStringLiteral(", ")), parts[1]);
    }
    return reasons;
}
// A range's verdicts in the order of FindingWords::Findings.
std::array<Verdict, FindingWords::FindingCount> verdictsOf(const RangeFigures &f)
{
    return {f.switching, f.transitions, f.high, f.low, f.atMax, f.atMin};
}

// What became of a proposal: the unit's set now holds its value, or it was left.
QString proposalDone(const StopProposal &p, const ParameterSet *current)
{
    const int index = ParamBlock::IdleStopMax + 2 * p.range + (p.maxStop ? 0 : 1);
    const QString stop = p.maxStop ? QStringLiteral("MAX") : QStringLiteral("MIN");
    if (current && current->param(index) == p.to)
        return QStringLiteral("Doraz %1 upraven podle rozboru: %2 → %3.").arg(stop).arg(p.from).arg(p.to);
    return QStringLiteral("Rozbor navrhuje doraz %1 %2 → %3; při tomto servisu úprava provedena nebyla.").arg(stop).arg(p.from).arg(p.to);
}

// Why nothing was done about a range's findings.
QString nothingDone(bool stopFinding, const DriveAnalysis &a)
{
    if (!stopFinding)
        return QStringLiteral("Úpravou dorazů to odstranit nelze: doporučena kontrola lambda sondy a sání.");
    if (a.direction == EnrichDirection::Unknown)
        return QStringLiteral("Dorazy nebyly upraveny: ze záznamu nebylo možné spolehlivě určit, kterým směrem servo směs obohacuje.");
    return QStringLiteral("Dorazy nebyly upraveny: servo se na dorazu nedrželo při směsi, kterou by úprava dorazu napravila.");
}
}  // namespace

QString analysisForCustomer(const RecordingAnalysis &in, const ParameterSet *current)
{
    QString html = QStringLiteral("<p>Záznam %1").arg(esc(in.recordingName));
    if (!in.analysis)
        return html + QStringLiteral(": rozbor nebyl možný (%1).</p>").arg(esc(in.error));
    const DriveAnalysis &a = *in.analysis;
    html += QStringLiteral(", %1 min jízdy.</p>").arg(czechDecimal(a.whole.timeMs / 60000.0, 1));
    QStringList thin;
    int found = 0;
    for (int range = 0; range < DriveAnalysis::Ranges; ++range) {
        const RangeFigures &f = a.ranges[range];
        if (!f.enoughData) {
            thin << rangeCaption(range);
            continue;
        }
        const auto verdicts = verdictsOf(f);
        QStringList findings;
        bool stopFinding = false;
        for (int i = 0; i < FindingWords::FindingCount; ++i) {
            if (verdicts[i] != Verdict::Amber && verdicts[i] != Verdict::Red)
                continue;
            findings << QString::fromUtf8(FindingWords::Findings[i].words)
                            + (verdicts[i] == Verdict::Amber ? QStringLiteral(" (na hranici)") : QString());
            stopFinding = stopFinding || FindingWords::Findings[i].stop;
        }
        if (findings.isEmpty())
            continue;
        ++found;
        html += QStringLiteral("<p>%1: %2.</p>").arg(esc(rangeCaption(range)), esc(findings.join(QStringLiteral(", "))));
        QStringList done;
        for (const StopProposal &p : a.proposals)
            if (p.range == range)
                done << proposalDone(p, current);
        if (done.isEmpty())
            done << nothingDone(stopFinding, a);
        for (const QString &line : done)
            html += QStringLiteral("<p class=\"item\">%1</p>").arg(esc(line));
    }
    if (found == 0)
        html += QStringLiteral("<p>V posouzených rozsazích výkonu pracovaly lambda sonda i servo v pořádku.</p>");
    if (!thin.isEmpty())
        html += QStringLiteral("<p class=\"muted\">Málo dat k posouzení (jízda v rozsahu byla krátká): %1.</p>").arg(esc(thin.join(QStringLiteral(", "))));
    return html;
}

QString analysisSectionBody(const RecordingAnalysis &in)
{
    QString html = QStringLiteral("<p>Záznam %1").arg(esc(in.recordingName));
    if (!in.analysis)
        return html + QStringLiteral(": rozbor nebyl možný (%1).</p>").arg(esc(in.error));
    const DriveAnalysis &a = *in.analysis;
    const qint64 ms = a.whole.timeMs;
    html += QStringLiteral(", %1 min s hodnotami, řádky po %2 s.</p>")
                .arg(czechDecimal(ms / 60000.0, 1), czechDecimal(a.medianPollMs / 1000.0, 2));
    if (a.setFromTool)
        html += QStringLiteral("<p class=\"warning\">Záznam nemá svou sadu: rozbor proti sadě nástroje.</p>");
    QString direction = a.direction == EnrichDirection::Unknown ? a.directionWhy : QStringLiteral("Směr obohacení: ") + a.directionWhy;
    if (!direction.isEmpty())
        direction[0] = direction[0].toUpper();
    html += QStringLiteral("<p style=\"margin-bottom: 6px;\">%1</p>").arg(esc(direction));
    const AnalysisTable table = AnalysisTable::of(a);
    html += tableHtml(table);
    for (const QString &reason : missingReasons(table))
        html += QStringLiteral("<p class=\"muted\">%1</p>").arg(esc(reason));
    html += QStringLiteral("<p><b>Návrhy úprav</b></p>");
    if (a.proposals.empty())
        html += QStringLiteral("<p>Rozbor nenavrhuje žádnou úpravu dorazů.</p>");
    for (const StopProposal &p : a.proposals)
        html += QStringLiteral("<p class=\"item\">%1</p>").arg(esc(p.reason));
    return html;
}
