#pragma once
#include "configfile.h"
#include <QList>
#include <QString>
#include <QStringList>

namespace ParamNames { struct Field; }

// Two parameter sets side by side, one row
// per value in the words of the pages: stops and speeds by power range, thresholds, the options
// the status bytes stand for, emulation times and levels, the version name.
struct ComparisonRow
{
    QString name;
    QString ours;    // the tool's copy
    QString theirs;  // the file's
    bool differs = false;
    // The byte the row shows, in the names table; null for an option of a status byte.
    const ParamNames::Field *field = nullptr;
};

// A set without levels reads "bez úrovní" in its level rows; an empty set reads "poškozeno".
QList<ComparisonRow> compareSets(const ParameterSet &ours, const ParameterSet &theirs, const QStringList &versionNames);
// The same beside a file as it was read: each damaged part of it reads "poškozeno" in its rows.
QList<ComparisonRow> compareSets(const ParameterSet &ours, const ConfigFile::Contents &file, const QStringList &versionNames);
