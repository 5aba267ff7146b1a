#pragma once
#include <QString>

// A decimal as a Czech reader and a Czech spreadsheet take it: a decimal comma, no group
// separator, a fixed number of decimals: czechDecimal(0.04, 2) == "0,04", czechDecimal(1234.5, 1)
// == "1234,5". A value that rounds to zero carries no minus sign.
QString czechDecimal(double value, int decimals);
