#include "toolsetup.h"
#include <QDir>

namespace {
QStringList filledTo(QStringList list, int count)
{
    while (list.size() < count)
        list << QString();
    return list;
}
}

ToolSetup::ToolSetup()
    : m_versionNames(filledTo({}, VersionNameCount)), m_measurementTexts(filledTo({}, MeasurementTextCount))
{
}

QString ToolSetup::dataFilePath(const QString &name) const
{
    return QDir(m_dataFolder).absoluteFilePath(name);
}

void ToolSetup::setVersionNames(const QStringList &names)
{
    m_versionNames = filledTo(names, VersionNameCount);
}

void ToolSetup::nameVersion(int version, const QString &name)
{
    m_versionNames[version] = name;
}

QString ToolSetup::versionName(int version) const
{
    if (version >= 0 && version < m_versionNames.size())
        return m_versionNames.at(version);
    return QStringLiteral("Nedefinováno");
}

void ToolSetup::setMeasurementTexts(const QStringList &texts)
{
    m_measurementTexts = filledTo(texts, MeasurementTextCount);
}
