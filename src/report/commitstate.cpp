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
        if (!set.settingsWritten()) {
            out << line;
            continue;
        }
        // With nothing in RAM alone, what the unit holds is its EEPROM's.
        const bool kept = !set.ramOnlyChanges() || (sinceCommit.size() == rows.size() && !sinceCommit[i].differs);
        out << line.first() + (kept ? QStringLiteral(" – uloženo do EEPROM") : QStringLiteral(" – zapsáno do RAM"));
    }
    return out;
}
