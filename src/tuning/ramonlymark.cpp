#include "ramonlymark.h"
#include "link/unitset.h"
#include <QLabel>

QLabel *makeRamOnlyMark(const QString &objectName, const UnitSet &set, QWidget *parent)
{
    auto *mark = new QLabel(QStringLiteral("Změny jen v RAM – nejsou v EEPROM"), parent);
    mark->setObjectName(objectName);
    mark->setStyleSheet(QStringLiteral("color: rgb(192, 0, 0); font-weight: bold;"));
    mark->setVisible(set.ramOnlyChanges());
    QObject::connect(&set, &UnitSet::ramOnlyChangesChanged, mark, &QLabel::setVisible);
    return mark;
}
