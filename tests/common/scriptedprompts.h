#pragma once
#include "link/prompts.h"
#include <QColor>
#include <QStringList>

// Prompts that never block: messages and beeps are recorded, questions take scripted answers.
// A question without a scripted answer is a test failure.
class ScriptedPrompts : public Prompts
{
public:
    void beep() override { ++beeps; }
    void message(const QString &caption, const QString &text) override { messages << caption + QStringLiteral(": ") + text; }
    bool askYesNo(const QString &caption, const QString &text) override;
    QString openFileName(const QString &, const QString &, const QString &) override { return nextFile(); }
    QString saveFileName(const QString &, const QString &, const QString &) override { return nextFile(); }
    QString askOpenFile(const FileQuestion &q) override { fileQuestions << q; return nextFile(); }
    QString askSaveFile(const FileQuestion &q) override { fileQuestions << q; return nextFile(); }
    // Each text question takes the next of `texts`; none left is a test failure.
    QString askText(const QString &caption, const QString &label) override;
    QColor pickColour(const QColor &) override { return colours.isEmpty() ? QColor() : colours.takeFirst(); }

    int beeps = 0;
    QStringList messages;
    QStringList questions;
    QList<bool> answers;
    QStringList files;              // answers of the file dialogs, in order; none left is Cancel
    QList<FileQuestion> fileQuestions;
    QList<QColor> colours;
    QStringList texts;
    bool unexpected = false;

private:
    QString nextFile() { return files.isEmpty() ? QString() : files.takeFirst(); }
};
