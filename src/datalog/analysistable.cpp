#include "analysistable.h"
#include "logformat.h"
#include <QLocale>
#include <functional>
#include <optional>

namespace {
const QLocale &czech()
{
    static const QLocale locale = [] {
        QLocale l(QLocale::Czech, QLocale::CzechRepublic);
        l.setNumberOptions(QLocale::OmitGroupSeparator);
        return l;
    }();
    return locale;
}

QString number(double value, int decimals)
{
    return czech().toString(value, 'f', decimals);
}

QString percent(double share)
{
    return QStringLiteral("%1 %").arg(qRound(share * 100));
}

QString volts(int steps)
{
    return steps < 0 ? QStringLiteral("—") : number(steps * 0.02, 2) + QStringLiteral(" V");
}

QString transition(const TransitionFigure &t)
{
    return t.timed() ? number(t.meanS, 2) + QStringLiteral(" s") : QStringLiteral("—");
}

struct FigureRow
{
    const char *label;
    std::function<QString(const RangeFigures &)> text;
    std::function<Verdict(const RangeFigures &)> verdict;
    std::function<QString(const RangeFigures &)> note;
};

const std::vector<FigureRow> &figureRows()
{
    static const std::vector<FigureRow> rows = {
        {"Čas v rozsahu", [](const RangeFigures &f) { return number(f.timeMs / 1000.0, 0) + QStringLiteral(" s (") + percent(f.timeShare) + QLatin1Char(')'); }, {}, {}},
        {"Ustálený čas", [](const RangeFigures &f) {
             return number(f.steadyMs / 1000.0, 0) + QStringLiteral(" s") + (f.enoughData ? QString() : QStringLiteral(", málo dat"));
         }, {}, {}},
        {"Přechody hranice / 10 s", [](const RangeFigures &f) { return number(f.crossingsPer10s, 1); },
         [](const RangeFigures &f) { return f.switching; }, {}},
        {"Bohatá / chudá", [](const RangeFigures &f) { return percent(f.richShare) + QStringLiteral(" / ") + percent(f.leanShare); }, {}, {}},
        {"Chudá → bohatá", [](const RangeFigures &f) { return transition(f.leanToRich); },
         [](const RangeFigures &f) { return f.transitions; }, [](const RangeFigures &f) { return f.leanToRich.why; }},
        {"Bohatá → chudá", [](const RangeFigures &f) { return transition(f.richToLean); },
         [](const RangeFigures &f) { return f.transitions; }, [](const RangeFigures &f) { return f.richToLean.why; }},
        {"Nejnižší napětí", [](const RangeFigures &f) { return volts(f.lambdaLow); }, [](const RangeFigures &f) { return f.low; }, {}},
        {"Nejvyšší napětí", [](const RangeFigures &f) { return volts(f.lambdaHigh); }, [](const RangeFigures &f) { return f.high; }, {}},
        {"Servo průměr", [](const RangeFigures &f) { return f.servoLow < 0 ? QStringLiteral("—") : number(f.servoMean, 1); }, {}, {}},
        {"Servo rozptyl (sm. odch.)", [](const RangeFigures &f) { return f.servoLow < 0 ? QStringLiteral("—") : number(f.servoSpread, 1); }, {}, {}},
        {"Servo min / max", [](const RangeFigures &f) {
             return f.servoLow < 0 ? QStringLiteral("—") : QStringLiteral("%1 / %2").arg(f.servoLow).arg(f.servoHigh);
         }, {}, {}},
        {"Na dorazu MAX", [](const RangeFigures &f) {
             return percent(f.atMaxShare) + (f.stopMax >= 0 ? QStringLiteral(" (%1)").arg(f.stopMax) : QString());
         }, [](const RangeFigures &f) { return f.atMax; }, {}},
        {"Na dorazu MIN", [](const RangeFigures &f) {
             return percent(f.atMinShare) + (f.stopMin >= 0 ? QStringLiteral(" (%1)").arg(f.stopMin) : QString());
         }, [](const RangeFigures &f) { return f.atMin; }, {}},
        {"TPS práh 1 / min", [](const RangeFigures &f) { return number(f.tpsCrossingsPerMin[0], 1); }, {}, {}},
        {"TPS práh 2 / min", [](const RangeFigures &f) { return number(f.tpsCrossingsPerMin[1], 1); }, {}, {}},
        {"TPS práh 3 / min", [](const RangeFigures &f) { return number(f.tpsCrossingsPerMin[2], 1); }, {}, {}},
    };
    return rows;
}

// One number of the CSV: its figure, unit and decimals, and the verdict that goes with it.
struct CsvRow
{
    const char *label;
    const char *unit;
    int decimals;
    std::function<std::optional<double>(const RangeFigures &)> value;
    std::function<QString(const RangeFigures &)> verdict;
};

std::optional<double> whenTimed(const TransitionFigure &t)
{
    return t.timed() ? std::optional<double>(t.meanS) : std::nullopt;
}

std::optional<double> voltsOf(int steps)
{
    return steps < 0 ? std::nullopt : std::optional<double>(steps * 0.02);
}

std::optional<double> servo(const RangeFigures &f, double value)
{
    return f.servoLow < 0 ? std::nullopt : std::optional<double>(value);
}

std::optional<double> stop(int value)
{
    return value < 0 ? std::nullopt : std::optional<double>(value);
}

template <Verdict RangeFigures::*verdict>
QString verdictOf(const RangeFigures &f)
{
    return verdictText(f.*verdict);
}

const std::vector<CsvRow> &csvRows()
{
    static const std::vector<CsvRow> rows = {
        {"Čas v rozsahu", "s", 0, [](const RangeFigures &f) { return f.timeMs / 1000.0; }, {}},
        {"Podíl času", "%", 0, [](const RangeFigures &f) { return f.timeShare * 100; }, {}},
        {"Ustálený čas", "s", 0, [](const RangeFigures &f) { return f.steadyMs / 1000.0; },
         [](const RangeFigures &f) { return f.enoughData ? QString() : QStringLiteral("málo dat"); }},
        {"Přechody hranice / 10 s", "", 1, [](const RangeFigures &f) { return f.crossingsPer10s; }, verdictOf<&RangeFigures::switching>},
        {"Bohatá", "%", 0, [](const RangeFigures &f) { return f.richShare * 100; }, {}},
        {"Chudá", "%", 0, [](const RangeFigures &f) { return f.leanShare * 100; }, {}},
        {"Chudá → bohatá", "s", 2, [](const RangeFigures &f) { return whenTimed(f.leanToRich); }, verdictOf<&RangeFigures::transitions>},
        {"Bohatá → chudá", "s", 2, [](const RangeFigures &f) { return whenTimed(f.richToLean); }, verdictOf<&RangeFigures::transitions>},
        {"Nejnižší napětí", "V", 2, [](const RangeFigures &f) { return voltsOf(f.lambdaLow); }, verdictOf<&RangeFigures::low>},
        {"Nejvyšší napětí", "V", 2, [](const RangeFigures &f) { return voltsOf(f.lambdaHigh); }, verdictOf<&RangeFigures::high>},
        {"Servo průměr", "", 1, [](const RangeFigures &f) { return servo(f, f.servoMean); }, {}},
        {"Servo rozptyl (sm. odch.)", "", 1, [](const RangeFigures &f) { return servo(f, f.servoSpread); }, {}},
        {"Servo min", "", 0, [](const RangeFigures &f) { return servo(f, f.servoLow); }, {}},
        {"Servo max", "", 0, [](const RangeFigures &f) { return servo(f, f.servoHigh); }, {}},
        {"Na dorazu MAX", "%", 0, [](const RangeFigures &f) { return f.atMaxShare * 100; }, verdictOf<&RangeFigures::atMax>},
        {"Doraz MAX", "", 0, [](const RangeFigures &f) { return stop(f.stopMax); }, {}},
        {"Na dorazu MIN", "%", 0, [](const RangeFigures &f) { return f.atMinShare * 100; }, verdictOf<&RangeFigures::atMin>},
        {"Doraz MIN", "", 0, [](const RangeFigures &f) { return stop(f.stopMin); }, {}},
        {"TPS práh 1 / min", "", 1, [](const RangeFigures &f) { return f.tpsCrossingsPerMin[0]; }, {}},
        {"TPS práh 2 / min", "", 1, [](const RangeFigures &f) { return f.tpsCrossingsPerMin[1]; }, {}},
        {"TPS práh 3 / min", "", 1, [](const RangeFigures &f) { return f.tpsCrossingsPerMin[2]; }, {}},
    };
    return rows;
}

QByteArray csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')))
        return text.toUtf8();
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return '"' + quoted.toUtf8() + '"';
}
}

QString verdictText(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Green: return QStringLiteral("v pořádku");
    case Verdict::Amber: return QStringLiteral("pozor");
    case Verdict::Red: return QStringLiteral("závada");
    case Verdict::None: break;
    }
    return {};
}

AnalysisTable AnalysisTable::of(const DriveAnalysis &analysis, const DriveAnalysis *after)
{
    AnalysisTable table;
    for (int r = 0; r < DriveAnalysis::Ranges; ++r)
        table.columns << rangeCaption(r);
    table.columns << QStringLiteral("Celá jízda");
    const auto before = allFigures(analysis);
    for (std::size_t c = 0; c < before.size(); ++c) {
        table.figures.push_back(*before[c]);
        if (after)
            table.compared.push_back(*allFigures(*after)[c]);
    }
    for (const FigureRow &figure : figureRows()) {
        Row row;
        row.label = QString::fromUtf8(figure.label);
        for (std::size_t c = 0; c < before.size(); ++c) {
            const RangeFigures &shown = after ? *allFigures(*after)[c] : *before[c];
            QString cell = figure.text(*before[c]);
            if (after)
                cell += QStringLiteral(" → ") + figure.text(shown);
            row.cells.push_back(cell);
            row.verdicts.push_back(figure.verdict ? figure.verdict(shown) : Verdict::None);
            row.notes.push_back(figure.note ? figure.note(shown) : QString());
        }
        table.rows.push_back(row);
    }
    return table;
}

QString AnalysisTable::text() const
{
    QString out = QStringLiteral("\t") + columns.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (const Row &row : rows) {
        out += row.label;
        for (const QString &cell : row.cells)
            out += QLatin1Char('\t') + cell;
        out += QLatin1Char('\n');
    }
    return out;
}

QByteArray AnalysisTable::csv() const
{
    const bool comparing = !compared.empty();
    QByteArray out = LogFormat::byteOrderMark() + QByteArrayLiteral("Údaj;Jednotka");
    for (const QString &c : columns) {
        out += ';' + csvField(c);
        if (comparing)
            out += ';' + csvField(c + QStringLiteral(" – porovnání"));
        out += ';' + csvField(c + QStringLiteral(" – hodnocení"));
    }
    out += "\r\n";
    for (const CsvRow &row : csvRows()) {
        out += csvField(QString::fromUtf8(row.label)) + ';' + row.unit;
        const auto numberOf = [&row](const RangeFigures &f) {
            const std::optional<double> value = row.value(f);
            return value ? number(*value, row.decimals).toUtf8() : QByteArray();
        };
        for (std::size_t c = 0; c < figures.size(); ++c) {
            out += ';' + numberOf(figures[c]);
            if (comparing)
                out += ';' + numberOf(compared[c]);
            out += ';' + (row.verdict ? csvField(row.verdict(comparing ? compared[c] : figures[c])) : QByteArray());
        }
        out += "\r\n";
    }
    return out;
}
