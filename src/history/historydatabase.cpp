#include "historydatabase.h"
#include "cfgfiles/configfile.h"
#include "historymigration.h"
#include "historyschema.h"
#include "historysql.h"
#include "unitname.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {
// No query may hold the tool up longer than this.
constexpr int TimeoutMs = 3000;

QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(value);
}

QVariant time(const QDateTime &when)
{
    return when.isValid() ? QVariant(when.toUTC().toString(Qt::ISODateWithMs)) : QVariant(QMetaType::fromType<QString>());
}

QVariant bytes(const QByteArray &value)
{
    return value.isEmpty() ? QVariant(QMetaType::fromType<QByteArray>()) : QVariant(value);
}

QDateTime timeOf(const QVariant &value)
{
    return value.isNull() ? QDateTime() : QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
}

QString kindText(VisitSet::Kind kind)
{
    return kind == VisitSet::Kind::Read ? QStringLiteral("read") : QStringLiteral("write");
}

QString checkText(VisitSet::Check check)
{
    switch (check) {
    case VisitSet::Check::Verified: return QStringLiteral("verified");
    case VisitSet::Check::Wrong: return QStringLiteral("wrong");
    case VisitSet::Check::Unverified: break;
    }
    return QStringLiteral("unverified");
}

VisitSet::Check checkOf(const QString &text)
{
    if (text == QLatin1String("verified"))
        return VisitSet::Check::Verified;
    return text == QLatin1String("wrong") ? VisitSet::Check::Wrong : VisitSet::Check::Unverified;
}

QVariant yearColumn(const std::optional<UnitIdentity> &unit)
{
    return unit && unit->year ? QVariant(*unit->year) : QVariant(QMetaType::fromType<int>());
}

// SQLite's result codes, as its driver gives them in nativeErrorCode().
enum SqliteCode { Busy = 5, Locked = 6, Corrupt = 11, NotADatabase = 26 };

int sqliteCode(const QSqlError &error)
{
    // An extended code keeps the primary one in its low byte.
    return error.nativeErrorCode().toInt() & 0xff;
}

bool busy(const QSqlError &error)
{
    const int code = sqliteCode(error);
    return code == Busy || code == Locked;
}

// "%" and "_" a technician types are letters, not patterns.
QString likePattern(const QString &filter)
{
    QString escaped = filter.toLower();
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    escaped.replace(QLatin1Char('%'), QLatin1String("\\%"));
    escaped.replace(QLatin1Char('_'), QLatin1String("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}
}  // namespace

QString HistoryTarget::describe() const
{
    if (!isServer())
        return QDir::toNativeSeparators(sqlitePath);
    return QStringLiteral("%1@%2:%3/%4").arg(user, host).arg(port).arg(database);
}

HistoryDatabase::HistoryDatabase(const QString &connectionName) : m_name(connectionName) {}

HistoryDatabase::~HistoryDatabase()
{
    close();
}

QSqlDatabase HistoryDatabase::db() const
{
    return QSqlDatabase::database(m_name, false);
}

bool HistoryDatabase::isOpen() const
{
    return QSqlDatabase::contains(m_name) && db().isOpen();
}

void HistoryDatabase::close()
{
    if (!QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase d = db();
        d.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

bool HistoryDatabase::open(const HistoryTarget &target, QString *error, QString *notice)
{
    close();
    m_postgres = target.isServer();
    const bool opened = m_postgres ? openServer(target, error) : openSqlite(target, error, notice);
    if (!opened)
        close();
    return opened;
}

bool HistoryDatabase::openServer(const HistoryTarget &target, QString *error)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        *error = QStringLiteral("Chybí ovladač PostgreSQL pro Qt (balíček libqt6sql6-psql).");
        return false;
    }
    QSqlDatabase d = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
    d.setHostName(target.host);
    d.setPort(target.port);
    d.setDatabaseName(target.database);
    d.setUserName(target.user);
    if (!target.password.isEmpty())
        d.setPassword(target.password);
    d.setConnectOptions(QStringLiteral("connect_timeout=%1;sslmode=%2").arg(TimeoutMs / 1000).arg(target.sslMode));
    if (!d.open()) {
        *error = QStringLiteral("Kartotéka %1 nedostupná: %2").arg(target.describe(), d.lastError().text().trimmed());
        return false;
    }
    if (!exec(QStringLiteral("set statement_timeout = %1").arg(TimeoutMs), {}, error)
        || !exec(QStringLiteral("set client_min_messages = warning"), {}, error))
        return false;
    return prepareSchema(error);
}

bool HistoryDatabase::openSqlite(const HistoryTarget &target, QString *error, QString *notice)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        *error = QStringLiteral("Chybí ovladač SQLite pro Qt (balíček libqt6sql6-sqlite).");
        return false;
    }
    const QString path = target.sqlitePath;
    const QString shown = QDir::toNativeSeparators(path);
    QDir().mkpath(QFileInfo(path).absolutePath());
    SqliteOpening opening = openSqliteFile(path, error);
    if (opening != SqliteOpening::Damaged)
        return opening == SqliteOpening::Open;
    close();
    // Another program may hold the file (a second tool, an antivirus scan): only a file that fails
    // its check while nobody else has it is damaged.
    opening = checkAlone(path);
    if (opening == SqliteOpening::Busy) {
        *error = busyText(shown);
        return false;
    }
    const QString aside = path + QStringLiteral(".poskozeno-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    if (opening == SqliteOpening::Damaged) {
        if (!QFile::rename(path, aside)) {
            *error = QStringLiteral("Soubor kartotéky %1 je poškozený a nelze ho odložit.").arg(shown);
            return false;
        }
        for (const char *suffix : {"-wal", "-shm"})
            QFile::remove(path + QLatin1String(suffix));
        if (notice)
            *notice = QStringLiteral("Soubor kartotéky byl poškozený. Byl odložen jako %1 a kartotéka začíná znovu.")
                          .arg(QDir::toNativeSeparators(aside));
    }
    error->clear();
    close();
    if (openSqliteFile(path, error) == SqliteOpening::Open)
        return true;
    if (error->isEmpty())
        *error = QStringLiteral("Kartotéku %1 nelze otevřít.").arg(shown);
    return false;
}

QString HistoryDatabase::busyText(const QString &shownPath)
{
    return QStringLiteral("Kartotéku %1 právě používá jiný program; tento se připojí, jakmile ji uvolní.").arg(shownPath);
}

HistoryDatabase::SqliteOpening HistoryDatabase::openSqliteFile(const QString &path, QString *error)
{
    QSqlDatabase d = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    d.setDatabaseName(path);
    d.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(TimeoutMs));
    if (!d.open()) {
        *error = QStringLiteral("Kartotéku %1 nelze otevřít: %2").arg(QDir::toNativeSeparators(path), d.lastError().text().trimmed());
        return SqliteOpening::Failed;
    }
    const SqliteOpening checked = check(d, error);
    if (checked != SqliteOpening::Open) {
        if (checked == SqliteOpening::Busy)
            *error = busyText(QDir::toNativeSeparators(path));
        return checked;
    }
    QString ignored;
    exec(QStringLiteral("pragma journal_mode=wal"), {}, &ignored);
    exec(QStringLiteral("pragma foreign_keys=on"), {}, &ignored);
    if (prepareSchema(error))
        return SqliteOpening::Open;
    return m_damaged ? SqliteOpening::Damaged : SqliteOpening::Failed;
}

HistoryDatabase::SqliteOpening HistoryDatabase::check(QSqlDatabase d, QString *error)
{
    QSqlQuery q(d);
    // A file that is no database, or whose pages are broken, fails here; so does one held by
    // another program, which is no damage, nor is a file that cannot be read now.
    if (q.exec(QStringLiteral("pragma quick_check")) && q.next())
        return q.value(0).toString() == QLatin1String("ok") ? SqliteOpening::Open : SqliteOpening::Damaged;
    const int code = sqliteCode(q.lastError());
    if (code == Busy || code == Locked)
        return SqliteOpening::Busy;
    if (code == Corrupt || code == NotADatabase)
        return SqliteOpening::Damaged;
    *error = QStringLiteral("Kartotéku %1 nelze přečíst: %2").arg(QDir::toNativeSeparators(d.databaseName()), q.lastError().text().trimmed());
    return SqliteOpening::Failed;
}

HistoryDatabase::SqliteOpening HistoryDatabase::checkAlone(const QString &path)
{
    const QString name = m_name + QStringLiteral("-alone");
    SqliteOpening result = SqliteOpening::Failed;
    {
        QSqlDatabase d = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        d.setDatabaseName(path);
        if (d.open()) {
            QSqlQuery q(d);
            // An exclusive transaction is refused while anyone else reads or writes the file.
            const bool alone = q.exec(QStringLiteral("begin exclusive"));
            QString ignored;
            result = !alone && busy(q.lastError()) ? SqliteOpening::Busy : check(d, &ignored);
            if (alone)
                q.exec(QStringLiteral("rollback"));
        }
        d.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

bool HistoryDatabase::prepareSchema(QString *error)
{
    m_damaged = false;
    QSqlQuery version(db());
    int current = 0;
    if (version.exec(QStringLiteral("select max(version) from schema_version")) && version.next()) {
        current = version.value(0).toInt();
    } else if (!m_postgres && (sqliteCode(version.lastError()) == NotADatabase || sqliteCode(version.lastError()) == Corrupt)) {
        m_damaged = true;
        *error = QStringLiteral("Soubor kartotéky je poškozený.");
        return false;
    }
    version.finish();
    if (current == HistorySchema::Version)
        return true;
    if (current > HistorySchema::Version) {
        *error = QStringLiteral("Kartotéka má novější podobu tabulek (%1), než tento program zná (%2).")
                     .arg(current)
                     .arg(HistorySchema::Version);
        return false;
    }
    QSqlDatabase d = db();
    d.transaction();
    // Two PCs starting together on an empty server: the second waits for the first's tables.
    if (m_postgres && !exec(QStringLiteral("select pg_advisory_xact_lock(%1)").arg(HistorySchema::SchemaLock), {}, error)) {
        d.rollback();
        return false;
    }
    for (const QString &statement : HistorySchema::createStatements(m_postgres)) {
        QString reason;
        if (!exec(statement, {}, &reason)) {
            d.rollback();
            *error = QStringLiteral("Kartotéka nemůže založit své tabulky (%1). Správce je založí podle README.").arg(reason);
            return false;
        }
    }
    // The tables exist now; their version says what they hold (another PC may have brought them
    // up to date while this one waited for the lock).
    QSqlQuery again(d);
    if (again.exec(QStringLiteral("select max(version) from schema_version")) && again.next())
        current = again.value(0).toInt();
    again.finish();
    if (current == HistorySchema::Version)
        return d.commit();
    if (current == 1 && !HistoryMigration::addYears(d, error)) {
        d.rollback();
        *error = QStringLiteral("Kartotéka nemůže převést své tabulky na novou podobu (%1). Správce je převede podle README.").arg(*error);
        return false;
    }
    if (!exec(QStringLiteral("insert into schema_version (version) values (?)"), {HistorySchema::Version}, error)) {
        d.rollback();
        return false;
    }
    return d.commit();
}

bool HistoryDatabase::exec(const QString &sql, const QVariantList &values, QString *error)
{
    return HistorySql::exec(db(), sql, values, error);
}

bool HistoryDatabase::ping()
{
    if (!isOpen())
        return false;
    QString ignored;
    return exec(QStringLiteral("select 1"), {}, &ignored);
}

bool HistoryDatabase::saveVisit(const Visit &v, QString *error)
{
    QSqlDatabase d = db();
    if (!d.transaction()) {
        *error = d.lastError().text().trimmed();
        return false;
    }
    bool ok = exec(QStringLiteral("insert into units (id, serial, year, vehicle, customer, created) values (?, ?, ?, ?, ?, ?) on conflict (id) do update"
                                  " set vehicle = case when excluded.vehicle <> '' then excluded.vehicle else units.vehicle end,"
                                  " customer = case when excluded.customer <> '' then excluded.customer else units.customer end"),
                   {v.unitId, UnitName::serial(v.unit), yearColumn(v.unit), text(v.vehicle), text(v.customer), time(v.started)}, error)
              && exec(QStringLiteral("insert into visits (id, unit_id, started, ended, technician, pc, record, errors_before,"
                                     " errors_after, service_stored, notes) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"
                                     " on conflict (id) do update set unit_id = excluded.unit_id, ended = excluded.ended, technician = excluded.technician,"
                                     " record = excluded.record, errors_before = excluded.errors_before,"
                                     " errors_after = excluded.errors_after, service_stored = excluded.service_stored,"
                                     " notes = excluded.notes"),
                      {v.id, v.unitId, time(v.started), time(v.ended), text(v.technician), text(v.pc), bytes(v.record),
                       bytes(v.errorsBefore), bytes(v.errorsAfter), time(v.serviceStored), text(v.notes)},
                      error);
    for (const VisitSet &s : v.sets) {
        ok = ok
             && exec(QStringLiteral("insert into visit_sets (id, visit_id, at, kind, set_bytes, check_result) values (?, ?, ?, ?, ?, ?)"
                                    " on conflict (id) do nothing"),
                     {s.id, v.id, time(s.at), kindText(s.kind), ConfigFile::compose(s.set), checkText(s.check)}, error);
    }
    for (const VisitRecording &r : v.recordings) {
        ok = ok
             && exec(QStringLiteral("insert into visit_recordings (id, visit_id, at, name, length_ms, pc, analysis)"
                                    " values (?, ?, ?, ?, ?, ?, ?) on conflict (id) do update set length_ms = excluded.length_ms,"
                                    " analysis = excluded.analysis"),
                     {r.id, v.id, time(r.at), text(r.name), r.lengthMs, text(r.pc), text(r.analysis)}, error);
    }
    for (const VisitReport &r : v.reports) {
        ok = ok
             && exec(QStringLiteral("insert into visit_reports (id, visit_id, at, name, pdf) values (?, ?, ?, ?, ?)"
                                    " on conflict (id) do nothing"),
                     {r.id, v.id, time(r.at), text(r.name), r.pdf}, error);
    }
    if (ok && m_postgres)
        ok = exec(QStringLiteral("select pg_notify(?, ?)"), {QString::fromLatin1(HistorySchema::channel()), v.id}, error);
    if (!ok) {
        d.rollback();
        return false;
    }
    if (!d.commit()) {
        *error = d.lastError().text().trimmed();
        return false;
    }
    return true;
}

bool HistoryDatabase::notify(const QString &what, QString *error)
{
    return !m_postgres || exec(QStringLiteral("select pg_notify(?, ?)"), {QString::fromLatin1(HistorySchema::channel()), what}, error);
}

bool HistoryDatabase::setVehicle(const QString &unitId, const QString &vehicle, QString *error)
{
    return exec(QStringLiteral("update units set vehicle = ? where id = ?"), {text(vehicle), unitId}, error) && notify(unitId, error);
}

bool HistoryDatabase::setNotes(const QString &visitId, const QString &notes, QString *error)
{
    return exec(QStringLiteral("update visits set notes = ? where id = ?"), {text(notes), visitId}, error) && notify(visitId, error);
}

bool HistoryDatabase::nameUnit(const QString &unitId, const UnitIdentity &unit, QString *error)
{
    const QString target = HistoryIds::unitId(unit);
    QSqlDatabase d = db();
    d.transaction();
    // A unit already known keeps what was typed for it; what it lacks comes from the unnamed one.
    const bool ok = exec(QStringLiteral("insert into units (id, serial, year, vehicle, customer, created)"
                                        " select ?, ?, ?, vehicle, customer, created from units where id = ?"
                                        " on conflict (id) do update set"
                                        " vehicle = case when units.vehicle = '' then excluded.vehicle else units.vehicle end,"
                                        " customer = case when units.customer = '' then excluded.customer else units.customer end"),
                         {target, UnitName::serial(unit), yearColumn(unit), unitId}, error)
                    && exec(QStringLiteral("update visits set unit_id = ? where unit_id = ?"), {target, unitId}, error)
                    && (target == unitId || exec(QStringLiteral("delete from units where id = ?"), {unitId}, error))
                    && notify(target, error);
    if (!ok) {
        d.rollback();
        return false;
    }
    return d.commit();
}

QList<UnitSummary> HistoryDatabase::units(const QString &filter, int limit)
{
    QList<UnitSummary> result;
    QSqlQuery q(db());
    q.prepare(QStringLiteral("select u.id, u.serial, u.year, u.vehicle, max(v.started), count(v.id) from units u"
                             " left join visits v on v.unit_id = u.id"
                             " where lower(u.serial) like ? escape '\\' or lower(u.vehicle) like ? escape '\\'"
                             " or coalesce(cast(u.year as text), '') like ? escape '\\'"
                             " group by u.id, u.serial, u.year, u.vehicle order by max(v.started) desc, u.serial, u.year limit ?"));
    const QString pattern = likePattern(filter.trimmed());
    q.addBindValue(pattern);
    q.addBindValue(pattern);
    q.addBindValue(pattern);
    q.addBindValue(limit);
    if (!q.exec())
        return result;
    while (q.next())
        result.append({q.value(0).toString(), UnitName::fromColumns(q.value(1).toString(), q.value(2)), q.value(3).toString(),
                       timeOf(q.value(4)), q.value(5).toInt()});
    return result;
}

QList<VisitSummary> HistoryDatabase::visits(const QString &unitId)
{
    QList<VisitSummary> result;
    QSqlQuery q(db());
    q.prepare(QStringLiteral("select v.id, v.started, v.ended, v.technician, v.pc,"
                             " (select count(*) from visit_sets s where s.visit_id = v.id and s.kind = 'write'),"
                             " (select count(*) from visit_reports r where r.visit_id = v.id)"
                             " from visits v where v.unit_id = ? order by v.started desc"));
    q.addBindValue(unitId);
    if (!q.exec())
        return result;
    while (q.next())
        result.append({q.value(0).toString(), timeOf(q.value(1)), timeOf(q.value(2)), q.value(3).toString(),
                       q.value(4).toString(), q.value(5).toInt(), q.value(6).toInt()});
    return result;
}

Visit HistoryDatabase::visit(const QString &visitId)
{
    Visit v;
    QSqlQuery q(db());
    q.prepare(QStringLiteral("select v.id, v.unit_id, u.serial, u.vehicle, v.started, v.ended, v.technician, v.pc, v.record,"
                             " v.errors_before, v.errors_after, v.service_stored, v.notes, u.customer, u.year from visits v"
                             " join units u on u.id = v.unit_id where v.id = ?"));
    q.addBindValue(visitId);
    if (!q.exec() || !q.next())
        return v;
    v.id = q.value(0).toString();
    v.unitId = q.value(1).toString();
    v.unit = UnitName::fromColumns(q.value(2).toString(), q.value(14));
    v.vehicle = q.value(3).toString();
    v.customer = q.value(13).toString();
    v.started = timeOf(q.value(4));
    v.ended = timeOf(q.value(5));
    v.technician = q.value(6).toString();
    v.pc = q.value(7).toString();
    v.record = q.value(8).toByteArray();
    v.errorsBefore = q.value(9).toByteArray();
    v.errorsAfter = q.value(10).toByteArray();
    v.serviceStored = timeOf(q.value(11));
    v.notes = q.value(12).toString();

    QSqlQuery sets(db());
    sets.prepare(QStringLiteral("select id, at, kind, set_bytes, check_result from visit_sets where visit_id = ? order by at, id"));
    sets.addBindValue(visitId);
    if (sets.exec()) {
        while (sets.next())
            v.sets.append({sets.value(0).toString(), timeOf(sets.value(1)),
                           sets.value(2).toString() == QLatin1String("read") ? VisitSet::Kind::Read : VisitSet::Kind::Write,
                           ConfigFile::parse(sets.value(3).toByteArray()).set(), checkOf(sets.value(4).toString())});
    }
    QSqlQuery recordings(db());
    recordings.prepare(QStringLiteral("select id, at, name, length_ms, pc, analysis from visit_recordings where visit_id = ? order by at, id"));
    recordings.addBindValue(visitId);
    if (recordings.exec()) {
        while (recordings.next())
            v.recordings.append({recordings.value(0).toString(), timeOf(recordings.value(1)), recordings.value(2).toString(),
                                 recordings.value(3).toLongLong(), recordings.value(4).toString(), recordings.value(5).toString()});
    }
    QSqlQuery reports(db());
    reports.prepare(QStringLiteral("select id, at, name, pdf from visit_reports where visit_id = ? order by at, id"));
    reports.addBindValue(visitId);
    if (reports.exec()) {
        while (reports.next())
            v.reports.append({reports.value(0).toString(), timeOf(reports.value(1)), reports.value(2).toString(),
                              reports.value(3).toByteArray()});
    }
    return v;
}

Visit HistoryDatabase::previousVisit(const QString &unitId, const QDateTime &before)
{
    QSqlQuery q(db());
    q.prepare(QStringLiteral("select id from visits where unit_id = ? and started < ? order by started desc limit 1"));
    q.addBindValue(unitId);
    q.addBindValue(time(before));
    if (!q.exec() || !q.next())
        return {};
    return visit(q.value(0).toString());
}
