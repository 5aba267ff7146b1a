#include "paramnames.h"
#include <QRegularExpression>
#include <cstring>

namespace ParamNames {

const Field *param(int index)
{
    return index >= 1 && index <= ParamCount ? &Params[index - 1] : nullptr;
}

const Field *level(int index)
{
    return index >= 1 && index <= LevelCount ? &Levels[index - 1] : nullptr;
}

const Field *byName(const char *field)
{
    for (const Field &f : Params)
        if (std::strcmp(f.field, field) == 0)
            return &f;
    for (const Field &f : Levels)
        if (std::strcmp(f.field, field) == 0)
            return &f;
    return nullptr;
}

QString name(const Field &field)
{
    // The boxes pad their captions and write ordinals without a blank ("1.hranice TPS"); a name is
    // read out or printed, so it reads as a sentence would.
    static const QRegularExpression ordinal(QStringLiteral("^(\\d+)\\.(?=\\S)"));
    QString group = QString::fromUtf8(field.group).trimmed();
    group.replace(ordinal, QStringLiteral("\\1. "));

    QString own = QString::fromUtf8(field.row);
    if (!own.isEmpty())
        own[0] = own[0].toLower();
    const QString caption = QString::fromUtf8(field.caption);
    if (!caption.isEmpty())
        own = own.isEmpty() ? caption : own + QLatin1Char(' ') + caption;

    if (group.isEmpty())
        return own;
    if (own.isEmpty())
        return group;
    return group + QStringLiteral(" – ") + own;
}

QString rangeText(const Field &field)
{
    return QStringLiteral("%1–%2").arg(field.minimum).arg(field.maximum);
}

const Choice &decode(const StatusGroup &group, unsigned statusByte)
{
    for (int i = 0; i < group.count; ++i)
        if (group.choices[i].bits == (statusByte & group.mask))
            return group.choices[i];
    return group.choices[0];  // every combination of a group's bits has its option
}

}  // namespace ParamNames
