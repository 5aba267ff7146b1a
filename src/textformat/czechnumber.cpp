#include "czechnumber.h"
#include <algorithm>

QString czechDecimal(double value, int decimals)
{
    QString text = QString::number(value, 'f', qMax(0, decimals));
    // "-0,00" would tell of a sign the shown digits no longer have.
    if (text.startsWith(QLatin1Char('-'))
        && std::none_of(text.cbegin(), text.cend(), [](QChar c) { return c >= QLatin1Char('1') && c <= QLatin1Char('9'); }))
        text.remove(0, 1);
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}
