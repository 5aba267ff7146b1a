#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace ParamNames { struct Field; }

// Two parameter sets (44 bytes each, as a configuration file holds them) side by side, one row
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

// A damaged part of either set reads "poškozeno" in each of its rows.
QList<ComparisonRow> compareSets(const QByteArray &ours, const QByteArray &theirs, const QStringList &versionNames);
