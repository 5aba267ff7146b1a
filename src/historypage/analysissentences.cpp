#include "analysissentences.h"
#include "analysis/drivefigures.h"
#include "analysis/findingwords.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace {
// "Malý výkon: servo se dlouho drží na dorazu MAX." for a range with findings; empty without.
QString rangeSentence(const QString &caption, const QJsonObject &range)
{
    QStringList findings;
    for (const FindingWords::Finding &f : FindingWords::Findings) {
        const QString verdict = range.value(QLatin1String(f.key)).toString();
        if (verdict == QLatin1String("red"))
            findings << QString::fromUtf8(f.words);
        else if (verdict == QLatin1String("amber"))
            findings << QString::fromUtf8(f.words) + QStringLiteral(" (na hranici)");
    }
    return findings.isEmpty() ? QString() : caption + QStringLiteral(": ") + findings.join(QStringLiteral(", ")) + QLatin1Char('.');
}
}  // namespace

QString analysisSentences(const QString &kept)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(kept.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return kept;
    const QJsonObject o = doc.object();
    if (o.contains(QLatin1String("error")))
        return QStringLiteral("Rozbor nebyl možný (%1).").arg(o.value(QLatin1String("error")).toString());
    QStringList sentences;
    QStringList thin;
    for (const QJsonValue &value : o.value(QLatin1String("ranges")).toArray()) {
        const QJsonObject range = value.toObject();
        const QString caption = rangeCaption(range.value(QLatin1String("range")).toInt() - 1);
        if (caption.isEmpty())
            continue;
        if (range.contains(QLatin1String("enoughData")) && !range.value(QLatin1String("enoughData")).toBool())
            thin << caption;
        else if (const QString sentence = rangeSentence(caption, range); !sentence.isEmpty())
            sentences << sentence;
    }
    if (sentences.isEmpty() && !o.value(QLatin1String("ranges")).toArray().isEmpty() && thin.size() < o.value(QLatin1String("ranges")).toArray().size())
        sentences << QStringLiteral("Lambda sonda i servo v pořádku.");
    if (!thin.isEmpty())
        sentences << QStringLiteral("Málo dat: %1.").arg(thin.join(QStringLiteral(", ")));
    const QJsonArray proposals = o.value(QLatin1String("proposals")).toArray();
    for (const QJsonValue &value : proposals) {
        const QJsonObject p = value.toObject();
        sentences << QStringLiteral("Návrh: %1, doraz %2 %3 → %4.")
                         .arg(rangeCaption(p.value(QLatin1String("range")).toInt() - 1), p.value(QLatin1String("stop")).toString())
                         .arg(p.value(QLatin1String("from")).toInt())
                         .arg(p.value(QLatin1String("to")).toInt());
    }
    if (proposals.isEmpty() && o.contains(QLatin1String("proposals")))
        sentences << QStringLiteral("Úpravu dorazů nenavrhuje.");
    return sentences.join(QLatin1Char(' '));
}
