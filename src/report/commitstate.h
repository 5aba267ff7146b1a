#pragma once
#include "link/parameterset.h"
#include <QStringList>

class UnitSet;

// The changes of the work section, each with whether the unit keeps it after the ignition is off:
// "uloženo do EEPROM" once RAM->EEPROM went with that value, "zapsáno do RAM" while it lives in
// the unit's RAM alone. A change the unit never confirmed says neither.
QStringList changesWithCommitState(const UnitSet &set, const ParameterSet &before, const QStringList &versionNames);
