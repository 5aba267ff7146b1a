#include "backupstore.h"
#include "configfile.h"
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>

namespace {
const QString TimeFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss");
constexpr int TimeLength = 19;
}

QString BackupStore::safeName(const QString &versionName)
{
    QString plain;
    for (const QChar c : versionName.normalized(QString::NormalizationForm_D)) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        const bool keep = c.unicode() < 128 && (c.isLetterOrNumber() || c == QLatin1Char('.') || c == QLatin1Char('_') || c == QLatin1Char('-'));
        plain += keep ? c : QLatin1Char('-');
    }
    static const QRegularExpression dashes(QStringLiteral("-{2,}"));
    plain.replace(dashes, QStringLiteral("-"));
    // Windows drops trailing dots and blanks; a leading dot hides the file on Linux.
    while (!plain.isEmpty() && (plain.front() == QLatin1Char('-') || plain.front() == QLatin1Char('.')))
        plain.remove(0, 1);
    while (!plain.isEmpty() && (plain.back() == QLatin1Char('-') || plain.back() == QLatin1Char('.')))
        plain.chop(1);
    return plain.isEmpty() ? QStringLiteral("Bez-verze") : plain.left(60);
}

QString BackupStore::fileName(const QDateTime &when, const QString &versionName)
{
    return when.toString(TimeFormat) + QLatin1Char('_') + safeName(versionName) + QStringLiteral(".cfg");
}

QList<BackupStore::Entry> BackupStore::list() const
{
    QList<Entry> entries;
    const QDir dir(m_folder);
    for (const QString &name : dir.entryList({QStringLiteral("*.cfg")}, QDir::Files)) {
        const QDateTime when = QDateTime::fromString(name.left(TimeLength), TimeFormat);
        if (!when.isValid() || name.at(TimeLength) != QLatin1Char('_'))
            continue;
        const QString version = name.mid(TimeLength + 1).chopped(4);
        entries.append({dir.absoluteFilePath(name), when, version});
    }
    // Two reads within one second differ in a numbered suffix only: the longer name is the later.
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        if (a.when != b.when)
            return a.when > b.when;
        return a.path.size() != b.path.size() ? a.path.size() > b.path.size() : a.path > b.path;
    });
    return entries;
}

BackupStore::Result BackupStore::store(const QByteArray &set, const QDateTime &when, const QString &versionName) const
{
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
    if (!QDir().mkpath(m_folder)) {
        result.error = QStringLiteral("nelze vytvořit složku %1").arg(QDir::toNativeSeparators(m_folder));
        return result;
    }
    const QDir dir(m_folder);
    QString name = fileName(when, versionName);
    for (int n = 2; QFile::exists(dir.filePath(name)); ++n)
        name = fileName(when, versionName).chopped(4) + QStringLiteral("-%1.cfg").arg(n);
    result.path = dir.absoluteFilePath(name);
    if (!ConfigFile::writeAtomically(result.path, set, &result.error))
        return result;
    result.outcome = Outcome::Written;
    return result;
}
