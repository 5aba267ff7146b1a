#pragma once
#include <QString>

// Where the history is kept: an SQLite file (the default, nothing to set up) or a PostgreSQL
// server. No password is ever written into a file of the tool: libpq's own password file, or one
// typed once and kept for the session.
struct HistoryTarget
{
    QString sqlitePath;  // used when host is empty
    QString host;        // a name, an address, or a Unix socket folder
    int port = 5432;
    QString database = QStringLiteral("velkor");
    QString user;
    QString sslMode = QStringLiteral("prefer");  // libpq's sslmode
    QString password;                            // empty: libpq's password file, or none

    bool isServer() const { return !host.isEmpty(); }
    // For the technician: the file, or user@host:port/database.
    QString describe() const;
};
