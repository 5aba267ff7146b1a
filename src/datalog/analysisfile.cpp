#include "analysisfile.h"
#include "recordedsets.h"
#include "cfgfiles/configfile.h"
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace AnalysisFile {

namespace {
// 2: the direction and the time at a stop follow the probe's delay; an analysis kept before is made again.
constexpr int Format = 2;

// Puts each field into a JSON object.
struct Writer
{
    QJsonObject o;
    void operator()(const char *key, const QJsonValue &v) { o.insert(QLatin1String(key), v); }
    void operator()(const char *key, qint64 v) { (*this)(key, QJsonValue(v)); }
    void operator()(const char *key, int v) { (*this)(key, QJsonValue(v)); }
    void operator()(const char *key, double v) { (*this)(key, QJsonValue(v)); }
    void operator()(const char *key, bool v) { (*this)(key, QJsonValue(v)); }
    void operator()(const char *key, Verdict v) { (*this)(key, QJsonValue(int(v))); }
    void operator()(const char *key, const QString &v) { (*this)(key, QJsonValue(v)); }
    void operator()(const char *key, const std::array<double, 3> &v) { (*this)(key, QJsonArray{v[0], v[1], v[2]}); }
    void operator()(const char *key, const TransitionFigure &t);
};

// Takes each field out of a JSON object.
struct Reader
{
    QJsonObject o;
    QJsonValue at(const char *key) const { return o.value(QLatin1String(key)); }
    void operator()(const char *key, qint64 &v) const { v = at(key).toInteger(); }
    void operator()(const char *key, int &v) const { v = at(key).toInt(); }
    void operator()(const char *key, double &v) const { v = at(key).toDouble(); }
    void operator()(const char *key, bool &v) const { v = at(key).toBool(); }
    void operator()(const char *key, QString &v) const { v = at(key).toString(); }
    void operator()(const char *key, Verdict &v) const { v = Verdict(at(key).toInt()); }
    void operator()(const char *key, std::array<double, 3> &v) const
    {
        const QJsonArray a = at(key).toArray();
        for (int i = 0; i < 3; ++i)
            v[std::size_t(i)] = a.at(i).toDouble();
    }
    void operator()(const char *key, TransitionFigure &t) const;
};

// The fields, once for both ways.
template <typename Io, typename Figure> void transitionFields(Io &&io, Figure &t)
{
    io("count", t.count);
    io("meanS", t.meanS);
    io("why", t.why);
}

void Writer::operator()(const char *key, const TransitionFigure &t)
{
    Writer w;
    transitionFields(w, t);
    (*this)(key, QJsonValue(w.o));
}

void Reader::operator()(const char *key, TransitionFigure &t) const
{
    transitionFields(Reader{at(key).toObject()}, t);
}

template <typename Io, typename Figures> void rangeFields(Io &&io, Figures &f)
{
    io("timeMs", f.timeMs);
    io("timeShare", f.timeShare);
    io("steadyMs", f.steadyMs);
    io("enoughData", f.enoughData);
    io("crossings", f.crossings);
    io("crossingsPer10s", f.crossingsPer10s);
    io("richShare", f.richShare);
    io("leanShare", f.leanShare);
    io("leanToRich", f.leanToRich);
    io("richToLean", f.richToLean);
    io("lambdaLow", f.lambdaLow);
    io("lambdaHigh", f.lambdaHigh);
    io("servoMean", f.servoMean);
    io("servoSpread", f.servoSpread);
    io("servoLow", f.servoLow);
    io("servoHigh", f.servoHigh);
    io("atMaxShare", f.atMaxShare);
    io("atMinShare", f.atMinShare);
    io("leanAtMax", f.leanAtMax);
    io("richAtMax", f.richAtMax);
    io("leanAtMin", f.leanAtMin);
    io("richAtMin", f.richAtMin);
    io("stopMax", f.stopMax);
    io("stopMin", f.stopMin);
    io("tpsCrossingsPerMin", f.tpsCrossingsPerMin);
    io("switching", f.switching);
    io("transitions", f.transitions);
    io("high", f.high);
    io("low", f.low);
    io("atMax", f.atMax);
    io("atMin", f.atMin);
}

template <typename Io, typename Proposal> void proposalFields(Io &&io, Proposal &p)
{
    io("range", p.range);
    io("maxStop", p.maxStop);
    io("from", p.from);
    io("to", p.to);
    io("stopShare", p.stopShare);
    io("sideShare", p.sideShare);
    io("lean", p.lean);
    io("reason", p.reason);
}

}  // namespace

QString pathFor(const QString &csvPath)
{
    const QFileInfo csv(csvPath);
    return csv.path() + QLatin1Char('/') + csv.completeBaseName() + QStringLiteral(".rozbor.json");
}

QByteArray madeOf(const QString &csvPath, const AnalysisLimits &limits, const ParameterSet &toolSet)
{
    const QFileInfo csv(csvPath);
    QJsonArray values, sets;
    for (double v : limits.values())
        values.append(v);
    for (const ParameterSet &set : RecordedSets::load(csvPath))
        sets.append(QString::fromLatin1(set.blockFrame().toHex()));
    const QString toolBlock = sets.isEmpty() ? QString::fromLatin1(toolSet.blockFrame().toHex()) : QString();
    const QJsonObject o{{"format", Format},
                        {"size", csv.size()},
                        {"modified", csv.lastModified().toMSecsSinceEpoch()},
                        {"sets", sets},
                        {"limits", values},
                        {"toolBlock", toolBlock}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QJsonObject toJson(const DriveAnalysis &a)
{
    QJsonArray ranges;
    for (const RangeFigures *f : allFigures(a)) {
        Writer w;
        rangeFields(w, *f);
        ranges.append(w.o);
    }
    QJsonArray proposals;
    for (const StopProposal &p : a.proposals) {
        Writer w;
        proposalFields(w, p);
        proposals.append(w.o);
    }
    Writer w;
    w("ranges", ranges);
    w("proposals", proposals);
    w("direction", int(a.direction));
    w("directionWhy", a.directionWhy);
    w("medianPollMs", a.medianPollMs);
    w("probeLagMs", a.probeLagMs);
    w("setFromTool", a.setFromTool);
    w("rows", a.rows);
    return w.o;
}

DriveAnalysis fromJson(const QJsonObject &json)
{
    DriveAnalysis a;
    const Reader r{json};
    const QJsonArray ranges = r.at("ranges").toArray();
    int i = 0;
    for (RangeFigures *f : allFigures(a))
        rangeFields(Reader{ranges.at(i++).toObject()}, *f);
    for (const QJsonValue &v : r.at("proposals").toArray()) {
        StopProposal p;
        proposalFields(Reader{v.toObject()}, p);
        a.proposals.push_back(p);
    }
    a.direction = EnrichDirection(r.at("direction").toInt());
    r("directionWhy", a.directionWhy);
    r("medianPollMs", a.medianPollMs);
    r("probeLagMs", a.probeLagMs);
    r("setFromTool", a.setFromTool);
    r("rows", a.rows);
    return a;
}

bool write(const QString &csvPath, const RecordingAnalysis &analysis, const QByteArray &madeOf)
{
    if (!analysis.analysis)
        return false;
    const QJsonObject o{{"madeOf", QString::fromUtf8(madeOf)}, {"analysis", toJson(*analysis.analysis)}};
    QString error;
    return ConfigFile::writeAtomically(pathFor(csvPath), QJsonDocument(o).toJson(QJsonDocument::Compact), &error);
}

std::optional<RecordingAnalysis> read(const QString &csvPath, const QByteArray &madeOf)
{
    QFile file(pathFor(csvPath));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();
    const QJsonObject analysis = o.value(QStringLiteral("analysis")).toObject();
    if (analysis.isEmpty() || o.value(QStringLiteral("madeOf")).toString().toUtf8() != madeOf)
        return std::nullopt;
    return RecordingAnalysis{QFileInfo(csvPath).fileName(), std::make_shared<const DriveAnalysis>(fromJson(analysis)), {}};
}

}  // namespace AnalysisFile
