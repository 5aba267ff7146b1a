#pragma once
#include <QString>
#include <QStringList>

// What the tool was set up with at start-up and the pages read afterwards: the data folder and the
// names TESTER.INI gives to configuration versions and measurement codes. Until start-up sets
// them, the folder is empty and every name is.
class ToolSetup
{
public:
    static constexpr int VersionNameCount = 100;
    static constexpr int MeasurementTextCount = 128;

    ToolSetup();

    // The folder "data" of the working folder, absolute: configuration files, backups and exports
    // live there, and every relative name the tool writes or reads resolves inside it.
    void setDataFolder(const QString &folder) { m_dataFolder = folder; }
    QString dataFolder() const { return m_dataFolder; }
    QString dataFilePath(const QString &name) const;

    // Entry 0 names the version every local edit sets; lists shorter than the count are filled
    // with empty names.
    void setVersionNames(const QStringList &names);
    void nameVersion(int version, const QString &name);
    const QStringList &versionNames() const { return m_versionNames; }
    // Versions without a name (100 and more) read "Nedefinováno".
    QString versionName(int version) const;

    void setMeasurementTexts(const QStringList &texts);
    // Empty for a code nobody named.
    QString measurementText(int code) const { return m_measurementTexts.value(code); }

private:
    QString m_dataFolder;
    QStringList m_versionNames;
    QStringList m_measurementTexts;
};
