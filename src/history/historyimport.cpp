#include "historyimport.h"
#include "cfgfiles/configfile.h"
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QUuid>

namespace {
QString idOf(const QString &what)
{
    static const QUuid space(QStringLiteral("{0b6f4a52-8d1e-4f3a-b7c2-5e9d1a0c7f44}"));
    return QUuid::createUuidV5(space, what).toString(QUuid::WithoutBraces);
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Backup
{
    QString name;
    QDateTime when;
};

// "2026-12-07_14-03-22_Verze.cfg" and "2026-12-07_14-03-22-2_Verze.cfg"
QList<Backup> backupsIn(const QString &folder)
{
    QList<Backup> result;
    for (const QString &name : QDir(folder).entryList({QStringLiteral("*.cfg")}, QDir::Files, QDir::Name)) {
        const QDateTime when = QDateTime::fromString(name.left(19), QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
        if (when.isValid())
            result.append({name, when});
    }
    return result;
}
}  // namespace

namespace HistoryImport {

QList<Visit> visitsIn(const QString &dataFolder, const QString &pc)
{
    // "..._117.pdf" before reports named the year, "..._117-2019.pdf" since.
    static const QRegularExpression reportName(
        QStringLiteral("^(\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d)_(\\d{1,3})(?:-(\\d{4}))?(_\\d+)?\\.pdf$"));
    const QDir reports(QDir(dataFolder).filePath(QStringLiteral("protokoly")));
    const QString backupFolder = QDir(dataFolder).filePath(QStringLiteral("zalohy"));
    const QList<Backup> backups = backupsIn(backupFolder);
    QList<Visit> visits;
    QDateTime previousReport;
    for (const QString &name : reports.entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name)) {
        const QRegularExpressionMatch m = reportName.match(name);
        const QDateTime made = m.hasMatch() ? QDateTime::fromString(m.captured(1), QStringLiteral("yyyy-MM-dd_HH-mm")) : QDateTime();
        if (!made.isValid())
            continue;
        Visit v;
        const QByteArray pdf = contents(reports.filePath(name));
        // Another PC may hold a report of the same name: the PC and the report's contents make the id.
        v.id = idOf(QStringLiteral("visit:%1:%2:%3")
                        .arg(pc, name, QString::fromLatin1(QCryptographicHash::hash(pdf, QCryptographicHash::Sha256).toHex())));
        UnitIdentity unit{m.captured(2).toInt(), std::nullopt};
        if (!m.captured(3).isEmpty())
            unit.year = m.captured(3).toInt();
        v.unit = unit;
        v.unitId = HistoryIds::unitId(unit);
        v.pc = pc;
        v.started = made;
        v.ended = made;
        v.reports.append({idOf(QStringLiteral("report:") + v.id), made, name, pdf});
        // The day's backups up to this report, after the one before it.
        for (const Backup &b : backups) {
            const bool tied = b.when.date() == made.date() && b.when < made.addSecs(60)
                              && (!previousReport.isValid() || previousReport.date() != made.date() || b.when >= previousReport.addSecs(60));
            if (!tied)
                continue;
            const ParameterSet set = ConfigFile::readSet(QDir(backupFolder).filePath(b.name));
            if (set.isEmpty())
                continue;
            v.started = std::min(v.started, b.when);
            v.sets.append({idOf(QStringLiteral("set:%1:%2").arg(v.id, b.name)), b.when, VisitSet::Kind::Read, set, VisitSet::Check::Verified});
            break;  // the first set read is the one kept
        }
        previousReport = made;
        visits.append(v);
    }
    return visits;
}

}  // namespace HistoryImport
