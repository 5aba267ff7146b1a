#pragma once
#include <QString>

class QLabel;
class QWidget;
class UnitSet;

// A red line shown while the unit holds confirmed changes in RAM that RAM->EEPROM has not made
// last: switching the ignition off would lose them.
QLabel *makeRamOnlyMark(const QString &objectName, const UnitSet &set, QWidget *parent);
