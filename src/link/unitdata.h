#pragma once
#include "diagnosticrecord.h"
#include "unitset.h"
#include <QByteArray>
#include <QObject>

// The one place where the data that several pages share lives for the whole run: the tool's set
// (its copies of the unit's parameter and level blocks) and the diagnostic record. Each has an
// owner that changes it through named operations; nobody keeps a second copy.
class UnitData : public QObject
{
    Q_OBJECT
public:
    static constexpr int ParamBlockSize = 34;
    static constexpr int LevelBlockSize = 10;

    explicit UnitData(QObject *parent = nullptr);

    // The parameter and level blocks, their validity and the status bytes the pages took up.
    UnitSet &set() { return m_set; }
    const UnitSet &set() const { return m_set; }

    DiagnosticRecord &record() { return m_record; }
    const DiagnosticRecord &record() const { return m_record; }

    static bool isParamBlock(const QByteArray &bytes);
    static bool isLevelBlock(const QByteArray &bytes);

private:
    UnitSet m_set;
    DiagnosticRecord m_record;
};
