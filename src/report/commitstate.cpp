#include "commitstate.h"
#include "reporttexts.h"
#include "cfgfiles/setcomparison.h"
#include "link/unitset.h"

QStringList changesWithCommitState(const UnitSet &set, const ParameterSet &before, const QStringList &versionNames)
{
    const ParameterSet now = set.value();
    const QList<ComparisonRow> rows = compareSets(now, before, versionNames);
    const ParameterSet committed = set.committedSet();
    const QList<ComparisonRow> sinceCommit = committed.isEmpty() ? QList<ComparisonRow>() : compareSets(now, committed, versionNames);
    QStringList out;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QStringList line = ReportTexts::changes({rows[i]}, set.levelsValid());
        if (line.isEmpty())
            continue;
        if (sinceCommit.size() == rows.size() && !sinceCommit[i].differs)
            out << line.first() + QStringLiteral(" – uloženo do EEPROM");
        else if (set.ramOnlyChanges())
            out << line.first() + QStringLiteral(" – zapsáno do RAM");
        else
            out << line;  // not confirmed by the unit, or read back from its EEPROM
    }
    return out;
}
