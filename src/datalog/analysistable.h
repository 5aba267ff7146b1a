#pragma once
#include "analysis/drivefigures.h"
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// The analysis as a table of Czech texts: a row per figure, a column per range and one for the
// whole drive; with a second analysis each cell says "before → after". The same table goes to
// the screen, the clipboard and a CSV file.
struct AnalysisTable
{
    struct Row
    {
        QString label;
        std::vector<QString> cells;     // one per column
        std::vector<Verdict> verdicts;  // the same
        std::vector<QString> notes;     // why a figure is missing, per column
    };
    QStringList columns;
    std::vector<Row> rows;
    // The figures behind the columns, for the CSV's numbers; `compared` empty without a comparison.
    std::vector<RangeFigures> figures, compared;

    static AnalysisTable of(const DriveAnalysis &analysis, const DriveAnalysis *after = nullptr);
    // Tab between cells, for pasting into a spreadsheet.
    QString text() const;
    // The log's format: UTF-8 with a byte-order mark, `;`, decimal comma, CR LF. A row per
    // figure with its unit, every cell a bare number a spreadsheet can reckon with (empty where
    // there is none); per column the value, the compared value and the verdict in a column of
    // their own.
    QByteArray csv() const;
};

QString verdictText(Verdict verdict);
