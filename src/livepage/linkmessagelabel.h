#pragma once
#include <QLabel>

// The status labels that show a link result ("Načteno  OK", "Uložení OK") for two seconds: red,
// bold, hidden until the link has something to say.
inline QLabel *makeLinkMessageLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(QStringLiteral("Načteno  OK"), parent);
    label->setObjectName(name);
    QFont bold = label->font();
    bold.setBold(true);
    bold.setPixelSize(14);
    label->setFont(bold);
    label->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    label->setAlignment(Qt::AlignCenter);
    label->hide();
    return label;
}
