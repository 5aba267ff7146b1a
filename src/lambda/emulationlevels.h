#pragma once
#include "lambdafields.h"
#include <QObject>

class LambdaPage;
class TuningPage;
class UnitData;
class LevelExchange;

// The eight byte fields of the page (four emulation times in the block, four emulation levels
// outside it) and the two level buttons. The level fields can be edited only while the tool holds
// levels the unit has answered with.
class EmulationLevels : public QObject
{
    Q_OBJECT
public:
    EmulationLevels(UnitData *data, LambdaPage *page, TuningPage *tuning, LevelExchange *levels,
                    QObject *parent = nullptr);

    // One change handler for the eight fields; the table says where each one stores.
    void ByteChange(const LambdaFields::ByteField &field);
    void Button38Click();  // "Ulož úrovně"
    void Button39Click();  // "Načti úrovně"

public slots:
    // The level fields show the tool's levels; whether they can be edited does not change.
    void ShowLevels();

private:
    void enableLevels(bool on);

    UnitData *m_data;
    LambdaPage *m_page;
    TuningPage *m_tuning;
    LevelExchange *m_levels;
};
