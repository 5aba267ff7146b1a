#include "analysissummary.h"
#include "datalog/fileanalysis.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
QString verdictName(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Green: return QStringLiteral("green");
    case Verdict::Amber: return QStringLiteral("amber");
    case Verdict::Red: return QStringLiteral("red");
    case Verdict::None: break;
    }
    return QStringLiteral("none");
}

QJsonObject verdicts(const RangeFigures &f)
{
    return {{"enoughData", f.enoughData},
            {"switching", verdictName(f.switching)},
            {"transitions", verdictName(f.transitions)},
            {"high", verdictName(f.high)},
            {"low", verdictName(f.low)},
            {"atMax", verdictName(f.atMax)},
            {"atMin", verdictName(f.atMin)}};
}
}  // namespace

QString analysisSummary(const RecordingAnalysis &analysis)
{
    QJsonObject o{{"recording", analysis.recordingName}};
    if (!analysis.analysis) {
        o.insert(QStringLiteral("error"), analysis.error);
        return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
    }
    const DriveAnalysis &a = *analysis.analysis;
    QJsonArray ranges;
    for (std::size_t i = 0; i < a.ranges.size(); ++i) {
        QJsonObject range = verdicts(a.ranges[i]);
        range.insert(QStringLiteral("range"), int(i) + 1);
        ranges.append(range);
    }
    QJsonArray proposals;
    for (const StopProposal &p : a.proposals)
        proposals.append(QJsonObject{{"range", p.range + 1},
                                     {"stop", p.maxStop ? QStringLiteral("MAX") : QStringLiteral("MIN")},
                                     {"from", p.from},
                                     {"to", p.to},
                                     {"reason", p.reason}});
    o.insert(QStringLiteral("rows"), a.rows);
    o.insert(QStringLiteral("setFromTool"), a.setFromTool);
    o.insert(QStringLiteral("ranges"), ranges);
    o.insert(QStringLiteral("whole"), verdicts(a.whole));
    o.insert(QStringLiteral("proposals"), proposals);
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}
