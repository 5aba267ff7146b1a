#include "scriptedprompts.h"
#include <QTest>

bool ScriptedPrompts::askYesNo(const QString &caption, const QString &text)
{
    questions << caption + QStringLiteral(": ") + text;
    if (answers.isEmpty()) {
        unexpected = true;
        qWarning("unexpected question: %s", qPrintable(text));
        return false;
    }
    return answers.takeFirst();
}

QString ScriptedPrompts::askText(const QString &caption, const QString &label)
{
    questions << caption + QStringLiteral(": ") + label;
    if (texts.isEmpty()) {
        unexpected = true;
        qWarning("unexpected text question: %s", qPrintable(label));
        return {};
    }
    return texts.takeFirst();
}
