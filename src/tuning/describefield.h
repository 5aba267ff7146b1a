#pragma once
#include "paramnames.h"

class QWidget;

// Gives a control that edits a block byte the name a screen reader says and a tooltip with the
// values it takes: "Volnoběh – doraz serva MAX (0–254)".
void describeField(QWidget *control, const ParamNames::Field &field);
QString fieldToolTip(const ParamNames::Field &field);
