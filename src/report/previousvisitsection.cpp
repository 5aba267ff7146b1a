#include "previousvisitsection.h"
#include "reporttexts.h"
#include "cfgfiles/setcomparison.h"
#include "link/unitdata.h"

QString previousVisitSectionBody(const PreviousVisit &previous, const UnitData &data, const QStringList &versionNames,
                                 bool blockOfThisUnit)
{
    QString when = QStringLiteral("Předchozí návštěva: %1").arg(ReportTexts::dateTime(previous.at));
    if (!previous.technician.isEmpty())
        when += QStringLiteral(", technik %1").arg(previous.technician);
    QStringList items{when + QLatin1Char('.')};
    QStringList changed;
    if (previous.set.isEmpty()) {
        items << QStringLiteral("Nastavení z předchozí návštěvy není známo.");
    } else if (!blockOfThisUnit || !data.set().blockValid()) {
        items << QStringLiteral("Nastavení této jednotky nebylo načteno.");
    } else {
        changed = ReportTexts::changes(compareSets(data.set().value(), previous.set, versionNames), data.set().levelsValid());
        items << (changed.isEmpty() ? QStringLiteral("Nastavení od ní beze změny.")
                                    : QStringLiteral("Od ní změněno v nastavení (tehdy → nyní):"));
    }
    QString html;
    for (const QString &item : items)
        html += QStringLiteral("<p>%1</p>").arg(item.toHtmlEscaped());
    for (const QString &line : changed)
        html += QStringLiteral("<p class=\"item\">%1</p>").arg(line.toHtmlEscaped());
    return html;
}
