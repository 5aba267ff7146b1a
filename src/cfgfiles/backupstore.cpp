#include "backupstore.h"
#include "configfile.h"
#include "textformat/safefilename.h"
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>

namespace {
const QString TimeFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss");
constexpr int TimeLength = 19;
const QString UnsavedNote = QStringLiteral("neulozeno.txt");
const QString UnitMark = QStringLiteral("jednotka-");

// "jednotka-117-2019_Skoda" -> the unit and "Skoda"; a name without the unit stays whole.
std::optional<UnitIdentity> takeUnit(QString &rest)
{
    static const QRegularExpression unitPart(QStringLiteral("^jednotka-(\\d{1,3})(?:-(\\d{4}))?_(.+)$"));
    const QRegularExpressionMatch m = unitPart.match(rest);
    if (!m.hasMatch())
        return std::nullopt;
    UnitIdentity unit{m.captured(1).toInt(), std::nullopt};
    if (!m.captured(2).isEmpty())
        unit.year = m.captured(2).toInt();
    rest = m.captured(3);
    return unit;
}
}

bool BackupStore::makeFolder(QString *error) const
{
    if (QDir().mkpath(m_folder))
        return true;
    *error = QStringLiteral("nelze vytvořit složku %1").arg(QDir::toNativeSeparators(m_folder));
    return false;
}

QString BackupStore::folderIn(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("zalohy"));
}

QString BackupStore::safeName(const QString &versionName)
{
    // 60 long: the names of backups written before stay as they were.
    const QString part = safeFileNamePart(versionName, 60);
    return part.isEmpty() ? unversionedFileNamePart() : part;
}

QString BackupStore::fileName(const QDateTime &when, const QString &versionName, int sequence, const std::optional<UnitIdentity> &unit)
{
    const QString time = when.toString(TimeFormat) + (sequence > 1 ? QStringLiteral("-%1").arg(sequence) : QString());
    const QString unitPart = unit ? UnitMark + unit->fileNamePart() + QLatin1Char('_') : QString();
    return time + QLatin1Char('_') + unitPart + safeName(versionName) + QStringLiteral(".cfg");
}

QList<BackupStore::Entry> BackupStore::list() const
{
    QList<Entry> entries;
    const QDir dir(m_folder);
    for (const QString &name : dir.entryList({QStringLiteral("*.cfg")}, QDir::Files)) {
        const QDateTime when = QDateTime::fromString(name.left(TimeLength), TimeFormat);
        const int versionAt = name.indexOf(QLatin1Char('_'), TimeLength);
        if (!when.isValid() || versionAt < 0)
            continue;
        int sequence = 1;
        if (versionAt > TimeLength) {  // "-N": the N-th read within that second
            bool ok = false;
            sequence = name.mid(TimeLength + 1, versionAt - TimeLength - 1).toInt(&ok);
            if (name.at(TimeLength) != QLatin1Char('-') || !ok)
                continue;
        }
        QString version = name.mid(versionAt + 1).chopped(4);
        const std::optional<UnitIdentity> unit = takeUnit(version);
        entries.append({dir.absoluteFilePath(name), when, sequence, version, unit});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        if (a.when != b.when)
            return a.when > b.when;
        return a.sequence != b.sequence ? a.sequence > b.sequence : a.path > b.path;
    });
    return entries;
}

BackupStore::Result BackupStore::store(const ParameterSet &kept, const QDateTime &when, const QString &versionName,
                                       const std::optional<UnitIdentity> &unit) const
{
    const QByteArray set = ConfigFile::compose(kept);
    Result result;
    const QList<Entry> existing = list();
    if (!existing.isEmpty()) {
        QFile newest(existing.first().path);
        if (newest.open(QIODevice::ReadOnly) && newest.read(ConfigFile::Size + 1) == set) {
            result.outcome = Outcome::Unchanged;
            result.path = existing.first().path;
            return result;
        }
    }
    if (!makeFolder(&result.error))
        return result;
    // The names tell the second only: a later read within the same second gets the next number.
    const QDateTime second = QDateTime::fromString(when.toString(TimeFormat), TimeFormat);
    int sequence = 1;
    for (const Entry &e : existing)
        if (e.when == second)
            sequence = std::max(sequence, e.sequence + 1);
    const QDir dir(m_folder);
    while (QFile::exists(dir.filePath(fileName(when, versionName, sequence, unit))))
        ++sequence;
    result.path = dir.absoluteFilePath(fileName(when, versionName, sequence, unit));
    if (!ConfigFile::writeAtomically(result.path, set, &result.error))
        return result;
    result.outcome = Outcome::Written;
    return result;
}

BackupStore::Result BackupStore::keepUnsaved(const ParameterSet &set, const QDateTime &when) const
{
    Result result;
    if (!makeFolder(&result.error))
        return result;
    const QDir dir(m_folder);
    const QString stem = QStringLiteral("neulozeno_") + when.toString(TimeFormat);
    QString name = stem + QStringLiteral(".cfg");
    for (int n = 2; QFile::exists(dir.filePath(name)); ++n)
        name = stem + QStringLiteral("-%1.cfg").arg(n);
    result.path = dir.absoluteFilePath(name);
    if (!ConfigFile::writeAtomically(result.path, ConfigFile::compose(set), &result.error)
        || !ConfigFile::writeAtomically(dir.filePath(UnsavedNote), name.toUtf8() + '\n', &result.error))
        return result;
    result.outcome = Outcome::Written;
    return result;
}

QString BackupStore::takeUnsavedNote() const
{
    const QDir dir(m_folder);
    QFile note(dir.filePath(UnsavedNote));
    if (!note.open(QIODevice::ReadOnly))
        return QString();
    const QString name = QString::fromUtf8(note.read(256)).trimmed();
    note.close();
    note.remove();
    // The note names a file in its own folder; anything else is not ours to point at.
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || !dir.exists(name))
        return QString();
    return dir.absoluteFilePath(name);
}
