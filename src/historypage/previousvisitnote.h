#pragma once
#include "history/visit.h"
#include "prompts/prompts.h"
#include <QObject>

class HistoryStore;
class ToolSetup;
class UnitData;
class VisitRecorder;

// The unit's previous visit as the history keeps it, for the report: its own section, and the
// customer and vehicle proposed in the report's dialog when the working folder has none for the
// unit. Every other question goes to the prompts it wraps.
class PreviousVisitNote : public QObject, public Prompts
{
    Q_OBJECT
public:
    PreviousVisitNote(Prompts *prompts, QObject *parent = nullptr);
    // Where the open visit and its predecessor come from; until then the notes start empty.
    void follow(HistoryStore *store, VisitRecorder *recorder, UnitData *data, const ToolSetup *setup);
    // The open visit's predecessor of the same unit; null without one.
    const Visit *previous() const;
    // "Předchozí návštěva 1.12.2026 8:01 (Jan Novák): od ní 2 rozdíly v sadě."; empty without one.
    QString text() const;

    bool askReportOptions(ReportQuestion &question) override;

    void beep() override { m_prompts->beep(); }
    void message(const QString &caption, const QString &text) override { m_prompts->message(caption, text); }
    void error(const QString &caption, const QString &text) override { m_prompts->error(caption, text); }
    void showNotice(const QString &caption, const QString &text) override { m_prompts->showNotice(caption, text); }
    void closeNotice() override { m_prompts->closeNotice(); }
    bool askYesNo(const QString &caption, const QString &text) override { return m_prompts->askYesNo(caption, text); }
    SaveChoice askSaveChanges(const QString &caption, const QString &text) override { return m_prompts->askSaveChanges(caption, text); }
    QString openFileName(const QString &caption, const QString &folder, const QString &filter) override
    {
        return m_prompts->openFileName(caption, folder, filter);
    }
    QString saveFileName(const QString &caption, const QString &folder, const QString &filter) override
    {
        return m_prompts->saveFileName(caption, folder, filter);
    }
    QString askOpenFile(const FileQuestion &q) override { return m_prompts->askOpenFile(q); }
    QString askSaveFile(const FileQuestion &q) override { return m_prompts->askSaveFile(q); }
    QString askText(const QString &caption, const QString &label) override { return m_prompts->askText(caption, label); }
    QString askPassword(const QString &caption, const QString &label) override { return m_prompts->askPassword(caption, label); }
    QColor pickColour(const QColor &initial) override;
    bool askPrinter(QPrinter &printer) override { return m_prompts->askPrinter(printer); }

private:
    void visitChanged();
    // The unit's customer and vehicle as the history keeps them, when the working folder had none.
    void offerUnitDetails(ReportQuestion &question) const;

    Prompts *m_prompts;
    HistoryStore *m_store = nullptr;
    VisitRecorder *m_recorder = nullptr;
    UnitData *m_data = nullptr;
    const ToolSetup *m_setup = nullptr;
    QString m_asked;  // the open visit whose predecessor was asked for
    Visit m_previous;
};
