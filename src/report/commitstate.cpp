#include "commitstate.h"
#include "reporttexts.h"
#include "cfgfiles/setcomparison.h"
#include "link/unitset.h"
#include "tuning/paramnames.h"

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
        // The version line says only that a hand edit cleared it, not a value the unit keeps.
        if (rows[i].field && rows[i].field->encoding == ParamNames::Encoding::Version) {
            out << line;
            continue;
        }
        if (sinceCommit.size() == rows.size() && !sinceCommit[i].differs)
            out << line.first() + QStringLiteral(" – uloženo do EEPROM");
        else if (set.ramOnlyChanges())
            out << line.first() + QStringLiteral(" – zapsáno do RAM");
        else
            out << line;  // not confirmed by the unit, or read back from its EEPROM
    }
    return out;
}
