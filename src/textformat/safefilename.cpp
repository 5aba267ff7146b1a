#include "safefilename.h"

namespace {
bool isEdge(QChar c)
{
    return c == QLatin1Char('-') || c == QLatin1Char('.');
}

void trimEdges(QString &text)
{
    qsizetype from = 0;
    while (from < text.size() && isEdge(text.at(from)))
        ++from;
    qsizetype to = text.size();
    while (to > from && isEdge(text.at(to - 1)))
        --to;
    text = text.mid(from, to - from);
}
}  // namespace

QString safeFileNamePart(const QString &name, int maxLength)
{
    QString plain;
    plain.reserve(name.size());
    for (const QChar c : name.normalized(QString::NormalizationForm_D)) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        const bool keep = c.unicode() < 128
                          && (c.isLetterOrNumber() || c == QLatin1Char('.') || c == QLatin1Char('_') || c == QLatin1Char('-'));
        const QChar next = keep ? c : QLatin1Char('-');
        if (next == QLatin1Char('-') && plain.endsWith(QLatin1Char('-')))
            continue;
        plain += next;
    }
    trimEdges(plain);
    plain.truncate(qMax(0, maxLength));
    trimEdges(plain);
    return plain;
}
