#pragma once
#include "lambdafields.h"
#include <QObject>
#include <functional>

class LambdaPage;
class TuningPage;
class UnitData;
class LevelExchange;
class MemoryCheck;

// The eight byte fields of the page (four emulation times in the block, four emulation levels
// outside it) and the two level buttons. The level fields can be edited, and written, exactly while
// the tool's set holds levels that came from a unit or a file.
class EmulationLevels : public QObject
{
    Q_OBJECT
public:
    EmulationLevels(UnitData *data, LambdaPage *page, TuningPage *tuning, LevelExchange *levels, MemoryCheck *check,
                    QObject *parent = nullptr);

    // Asked before "Načti úrovně" replaces the tool's levels: false keeps them.
    void setMayReplaceLevels(std::function<bool()> mayReplace) { m_mayReplace = std::move(mayReplace); }

    // One change handler for the eight fields; the table says where each one stores.
    void byteEdited(const LambdaFields::ByteField &field);
    void writeLevels();  // "Ulož úrovně", then read back
    void readLevels();  // "Načti úrovně"

public slots:
    // The level fields show the tool's levels, editable when the set holds real ones: after a read,
    // a file or a backup alike.
    void showLevels();

private:
    void enableLevels(bool on);

    UnitData *m_data;
    LambdaPage *m_page;
    TuningPage *m_tuning;
    LevelExchange *m_levels;
    MemoryCheck *m_check;
    std::function<bool()> m_mayReplace;
};
