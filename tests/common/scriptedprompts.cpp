#include "scriptedprompts.h"
#include <QPrinter>
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

bool ScriptedPrompts::askReportOptions(ReportQuestion &question)
{
    reportQuestions << question;
    if (reportAnswers.isEmpty()) {
        unexpected = true;
        qWarning("unexpected report dialog");
        return false;
    }
    const std::optional<ReportQuestion> answer = reportAnswers.takeFirst();
    if (!answer)
        return false;
    const bool available = question.picturesAvailable;
    const bool analysable = question.analysisAvailable;
    question = *answer;
    question.picturesAvailable = available;
    question.analysisAvailable = analysable;
    return true;
}

bool ScriptedPrompts::askPrinter(QPrinter &printer)
{
    ++printDialogs;
    if (printTo.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printTo);
    return true;
}

QString ScriptedPrompts::askPassword(const QString &caption, const QString &label)
{
    passwordQuestions << caption + QStringLiteral(": ") + label;
    return askText(caption, label);
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
