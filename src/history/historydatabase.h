#pragma once
#include "historytarget.h"
#include "visit.h"
#include <QSqlDatabase>

// One connection to the history and every statement it runs, all prepared, with a value bound for
// everything a person typed. Used on one thread only (the worker's, or a test's or bench's own).
class HistoryDatabase
{
public:
    // `connectionName` must be unique in the process.
    explicit HistoryDatabase(const QString &connectionName);
    ~HistoryDatabase();
    HistoryDatabase(const HistoryDatabase &) = delete;
    HistoryDatabase &operator=(const HistoryDatabase &) = delete;

    // Opens and creates or upgrades the tables. A damaged SQLite file is put aside and a new one
    // started; `notice` then says so and where it went. A file another program holds is left as it
    // is. False with the reason in `error` (in Czech).
    bool open(const HistoryTarget &target, QString *error, QString *notice = nullptr);
    void close();
    bool isOpen() const;
    // A statement on an open server connection to see whether it is still alive.
    bool ping();
    QSqlDatabase db() const;

    // The visit as it now stands: the unit and the visit created or updated, sets, recordings and
    // reports added once each (their ids decide), a change notice on a server. One transaction.
    bool saveVisit(const Visit &visit, QString *error);
    // A unit's vehicle as the technician typed it.
    bool setVehicle(const QString &unitId, const QString &vehicle, QString *error);
    // A visit's notes, and nothing else of it: what another PC changed meanwhile stays.
    bool setNotes(const QString &visitId, const QString &notes, QString *error);
    // A unit kept without a number gets one: its visits, vehicle and customer move to `unit`.
    bool nameUnit(const QString &unitId, const UnitIdentity &unit, QString *error);

    // Units whose serial number or vehicle contains `filter` (any case), the last visited first.
    QList<UnitSummary> units(const QString &filter, int limit = 1000);
    QList<VisitSummary> visits(const QString &unitId);
    // The whole visit; an empty id when there is none.
    Visit visit(const QString &visitId);
    // The unit's visit before `visitId` (by start), empty id when none.
    Visit previousVisit(const QString &unitId, const QDateTime &before);

private:
    enum class SqliteOpening { Open, Busy, Damaged, Failed };
    bool openSqlite(const HistoryTarget &target, QString *error, QString *notice);
    SqliteOpening openSqliteFile(const QString &path, QString *error);
    // SQLite's own check of the file on connection `d`; Failed (with the reason) when it could not run.
    static SqliteOpening check(QSqlDatabase d, QString *error);
    // The file's check on a connection that holds it alone.
    SqliteOpening checkAlone(const QString &path);
    static QString busyText(const QString &shownPath);
    bool notify(const QString &what, QString *error);
    bool openServer(const HistoryTarget &target, QString *error);
    bool prepareSchema(QString *error);
    bool exec(const QString &sql, const QVariantList &values, QString *error);

    QString m_name;
    bool m_postgres = false;
    bool m_damaged = false;  // the last prepareSchema() found no database in the file
};
