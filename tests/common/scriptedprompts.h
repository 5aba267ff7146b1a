#pragma once
#include "prompts/prompts.h"
#include <QColor>
#include <QStringList>
#include <optional>

// Prompts that never block: messages and beeps are recorded, questions take scripted answers.
// A question without a scripted answer is a test failure.
class ScriptedPrompts : public Prompts
{
public:
    void beep() override { ++beeps; }
    void message(const QString &caption, const QString &text) override { messages << caption + QStringLiteral(": ") + text; }
    void showNotice(const QString &caption, const QString &text) override
    {
        message(caption, text);
        notice = text;
    }
    void closeNotice() override { notice.clear(); }
    bool askYesNo(const QString &caption, const QString &text) override;
    SaveChoice askSaveChanges(const QString &caption, const QString &text) override;
    QString openFileName(const QString &, const QString &, const QString &) override { return nextFile(); }
    QString saveFileName(const QString &, const QString &, const QString &) override { return nextFile(); }
    QString askOpenFile(const FileQuestion &q) override { fileQuestions << q; return nextFile(); }
    QString askSaveFile(const FileQuestion &q) override { fileQuestions << q; return nextFile(); }
    // Each text question takes the next of `texts`; none left is a test failure.
    QString askText(const QString &caption, const QString &label) override;
    // Takes the next of `texts` as askText does; the question is kept in `passwordQuestions`.
    QString askPassword(const QString &caption, const QString &label) override;
    QColor pickColour(const QColor &) override { return colours.isEmpty() ? QColor() : colours.takeFirst(); }
    // The report dialog takes the next of `reportAnswers` (none left is a test failure); the
    // print dialog prints into the PDF file `printTo`, or is cancelled when that is empty.
    bool askReportOptions(ReportQuestion &question) override;
    bool askPrinter(QPrinter &printer) override;

    int beeps = 0;
    QStringList messages;
    QString notice;  // the box that closes by itself, while it is open
    QStringList questions;
    QList<bool> answers;
    QList<SaveChoice> saveChoices;  // answers of askSaveChanges, in order (recorded in `questions`)
    QStringList files;              // answers of the file dialogs, in order; none left is Cancel
    QList<FileQuestion> fileQuestions;
    QList<QColor> colours;
    QList<ReportQuestion> reportQuestions;  // as the dialog was set up
    QList<std::optional<ReportQuestion>> reportAnswers;  // nullopt: Cancel
    QString printTo;
    int printDialogs = 0;
    QStringList texts;
    QStringList passwordQuestions;
    bool unexpected = false;

private:
    QString nextFile() { return files.isEmpty() ? QString() : files.takeFirst(); }
};
