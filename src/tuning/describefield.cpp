#include "describefield.h"
#include "spinedit.h"
#include <QWidget>

QString fieldToolTip(const ParamNames::Field &field)
{
    return QStringLiteral("%1 (%2)").arg(ParamNames::name(field), ParamNames::rangeText(field));
}

void describeField(QWidget *control, const ParamNames::Field &field)
{
    if (auto *spin = qobject_cast<SpinEdit *>(control)) {
        spin->describe(ParamNames::name(field), fieldToolTip(field));
        return;
    }
    control->setAccessibleName(ParamNames::name(field));
    control->setToolTip(fieldToolTip(field));
}
