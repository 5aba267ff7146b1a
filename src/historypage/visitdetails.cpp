#include "visitdetails.h"
#include "analysissentences.h"
#include "cfgfiles/setcomparison.h"
#include "cfgfiles/setcomparisonview.h"
#include "diagnostics/recordfields.h"
#include "history/unitname.h"

namespace VisitDetails {

QString timeText(const QDateTime &when)
{
    return when.isValid() ? when.toLocalTime().toString(QStringLiteral("d.M.yyyy H:mm")) : QStringLiteral("–");
}

QString setKind(const VisitSet &set)
{
    return set.kind == VisitSet::Kind::Read ? QStringLiteral("první načtená") : QStringLiteral("zapsaná");
}

QString checkText(const VisitSet &set)
{
    if (set.kind == VisitSet::Kind::Read)
        return QString();
    switch (set.check) {
    case VisitSet::Check::Verified: return QStringLiteral("Uložení OK");
    case VisitSet::Check::Wrong: return QStringLiteral("Nesprávné uložení!");
    case VisitSet::Check::Unverified: break;
    }
    return QStringLiteral("Uložení neověřeno!");
}

namespace {
QString esc(const QString &text)
{
    return text.toHtmlEscaped();
}

QString counter(const QByteArray &record, int row, int lean)
{
    if (record.size() < 34)
        return QStringLiteral("–");
    return QString::number(RecordFields::number(record, RecordFields::counterOffset(row, lean), 2));
}

QString counters(const Visit &v)
{
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\"><tr><th align=\"left\">Chyby</th>"
                                  "<th>bohatá</th><th>chudá</th></tr>");
    for (int row = 0; row < RecordFields::CounterRows; ++row) {
        QString cells;
        for (int lean = 0; lean < 2; ++lean) {
            const QString before = counter(v.errorsBefore, row, lean);
            cells += QStringLiteral("<td align=\"center\">%1</td>")
                         .arg(v.errorsAfter.isEmpty() ? before : before + QStringLiteral(" → ") + counter(v.errorsAfter, row, lean));
        }
        html += QStringLiteral("<tr><td>%1</td>%2</tr>").arg(QString::fromUtf8(RecordFields::Counters[row].caption), cells);
    }
    return html + QStringLiteral("</table>");
}

ParameterSet lastSet(const Visit &v)
{
    return v.sets.isEmpty() ? ParameterSet() : v.sets.last().set;
}
}  // namespace

QString html(const Visit &v, const Visit &previous, const QStringList &versionNames)
{
    QString h = QStringLiteral("<b>Jednotka č. %1</b>").arg(esc(UnitName::full(v.unit)));
    if (!v.vehicle.isEmpty())
        h += QStringLiteral(", vozidlo %1").arg(esc(v.vehicle));
    h += QStringLiteral("<br>Návštěva %1 – %2<br>Technik: %3, PC: %4")
             .arg(timeText(v.started), v.ended.isValid() ? timeText(v.ended) : QStringLiteral("probíhá"), esc(v.technician), esc(v.pc));
    h += QStringLiteral("<br>Servisní záznam uložen: %1")
             .arg(v.serviceStored.isValid() ? timeText(v.serviceStored) : QStringLiteral("ne"));
    if (!v.errorsBefore.isEmpty())
        h += counters(v) + (v.errorsAfter.isEmpty() ? QStringLiteral("Paměť chyb nebyla smazána.")
                                                    : QStringLiteral("Paměť chyb smazána (před → po)."));
    int writes = 0;
    for (const VisitSet &s : v.sets)
        writes += s.kind == VisitSet::Kind::Write;
    h += QStringLiteral("<br>Zápisů sady: %1").arg(writes);
    for (const VisitRecording &r : v.recordings)
        h += QStringLiteral("<br>Záznam %1, %2 s, na PC %3%4")
                 .arg(esc(r.name))
                 .arg(r.lengthMs / 1000)
                 .arg(esc(r.pc), r.analysis.isEmpty() ? QString() : QStringLiteral(". Rozbor: ") + esc(analysisSentences(r.analysis)));
    for (const VisitReport &r : v.reports)
        h += QStringLiteral("<br>Protokol %1").arg(esc(r.name));
    if (!v.notes.isEmpty())
        h += QStringLiteral("<br>Poznámky: %1").arg(esc(v.notes));
    if (!previous.id.isEmpty()) {
        h += QStringLiteral("<br><br>Předchozí návštěva %1 (%2)").arg(timeText(previous.started), esc(previous.technician));
        const ParameterSet before = lastSet(previous);
        const VisitSet *now = v.firstRead();
        if (!before.isEmpty() && now) {
            int differing = 0;
            for (const ComparisonRow &row : compareSets(before, now->set, versionNames))
                differing += row.differs;
            h += differing == 0 ? QStringLiteral(": sada beze změny")
                                : QStringLiteral(": od ní %1 v sadě").arg(SetComparisonView::differences(differing));
        }
    }
    return h;
}

}  // namespace VisitDetails
