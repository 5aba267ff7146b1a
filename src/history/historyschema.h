#pragma once
#include <QStringList>

// The history's tables, the same on SQLite and PostgreSQL but for the binary type. Version 2:
// a unit is its serial number and its year of manufacture (version 1 knew the serial alone).
namespace HistorySchema {
constexpr int Version = 2;
// The advisory lock a server's first tables are made under.
constexpr int SchemaLock = 0x56454c4b;
// The statements that create version `Version` from nothing; `postgres` picks bytea over blob.
QStringList createStatements(bool postgres);
// The channel a server announces every stored visit on.
inline const char *channel() { return "velkor_historie"; }
}  // namespace HistorySchema
