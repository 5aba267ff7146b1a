#pragma once
#include "link/parameterset.h"
#include <QDateTime>
#include <QList>
#include <QString>
#include "link/unitidentity.h"
#include <optional>

// The backups of every parameter set read from a unit: configuration files in one folder, named
// by the moment of the read, the unit where it is known and the set's version name, e.g.
// "2026-12-07_14-03-22_jednotka-117-2019_Skoda-Octavia-1.6.cfg"; a backup of a unit not known
// (and those kept before backups named their unit) is "2026-12-07_14-03-22_Skoda-Octavia-1.6.cfg".
// No widgets; the folder is made when first needed.
class BackupStore
{
public:
    struct Entry
    {
        QString path;
        QDateTime when;       // to the second
        int sequence = 1;     // the n-th read within that second
        QString versionName;  // as the file name carries it
        std::optional<UnitIdentity> unit;  // as the file name names it
    };
    enum class Outcome { Written, Unchanged, Failed };
    struct Result
    {
        Outcome outcome = Outcome::Failed;
        QString path;   // the new backup, or the newest one it equals
        QString error;  // why it could not be written
    };

    explicit BackupStore(const QString &folder = QString()) : m_folder(folder) {}
    // The backup folder of a data folder.
    static QString folderIn(const QString &dataFolder);
    void setFolder(const QString &folder) { m_folder = folder; }
    QString folder() const { return m_folder; }

    // Keeps a set unless the newest backup holds exactly this one.
    Result store(const ParameterSet &set, const QDateTime &when, const QString &versionName,
                 const std::optional<UnitIdentity> &unit = std::nullopt) const;
    // Newest first.
    QList<Entry> list() const;

    // A set a stop that cannot ask would lose: "neulozeno_<date>_<time>.cfg", never listed as a
    // backup. A note beside it tells the next start where it is.
    Result keepUnsaved(const ParameterSet &set, const QDateTime &when) const;
    // The set the last keepUnsaved() left a note about, once: the note goes. Empty when none.
    QString takeUnsavedNote() const;

    // A version name as a part of a file name, by the one rule of safeFileNamePart(), at most 60
    // long; "Bez-verze" when nothing of it is left.
    static QString safeName(const QString &versionName);
    // A later read within the same second is "<time>-2_<version>.cfg", "-3" and so on.
    static QString fileName(const QDateTime &when, const QString &versionName, int sequence = 1,
                            const std::optional<UnitIdentity> &unit = std::nullopt);

private:
    bool makeFolder(QString *error) const;

    QString m_folder;
};
