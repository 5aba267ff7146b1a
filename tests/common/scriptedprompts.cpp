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

Prompts::SaveChoice ScriptedPrompts::askSaveChanges(const QString &caption, const QString &text)
{
    questions << caption + QStringLiteral(": ") + text;
    if (saveChoices.isEmpty()) {
        unexpected = true;
        qWarning("unexpected question: %s", qPrintable(text));
        return SaveChoice::Cancel;
    }
    return saveChoices.takeFirst();
}
