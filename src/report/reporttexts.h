#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

struct ComparisonRow;

// How the report writes what the unit and the tool know, for a customer to read: one date
// format, durations in words, decimal commas, settings named in words.
namespace ReportTexts {

QString date(const QDate &date);          // "07.12.2026"
QString dateTime(const QDateTime &when);  // "07.12.2026 14:03"
// Minutes as "1 měsíc 0 dní 0 h 4 min", months of 30 days as the unit counts them.
QString duration(quint32 minutes);
// A distance with thousands spaced: "131 250 km"; a text that is no whole number stays as typed.
QString kilometres(const QString &typed);
// A value of the diagnostic record in words; the caption the first page gives it.
QString recordValue(int field, const QByteArray &record);
QString recordCaption(int field);

// A setting in words: "Doraz serva MAX, malý výkon"; empty for a byte a customer has no words
// for (the unit's own bytes, raw status bytes).
QString settingName(const ComparisonRow &row);
// A value as the tool shows it, its decimal point made a comma ("40 (0,80 V)").
QString czechValue(const QString &value);
// One line per change of `rows` that a customer can read: "Doraz serva MAX, malý výkon: 140 → 150";
// the version byte a hand edit clears reads "Verze sady: změněna ruční úpravou".
QStringList changes(const QList<ComparisonRow> &rows, bool levelsKnown);

}  // namespace ReportTexts
