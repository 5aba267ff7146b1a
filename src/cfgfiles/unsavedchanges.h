#pragma once
#include "link/memorycheck.h"
#include "link/parameterset.h"
#include <QObject>
#include <QTimer>

class Prompts;
class QWidget;
class ToolSetup;
class UnitData;
class BlockRead;
class BlockWrite;
class LevelExchange;

// Knows whether the tool's set (parameter block and levels) differs from the one it last agreed
// with: read whole from the unit, written to it and confirmed by the read-back, saved to or loaded
// from a file. The set's values decide, so every way of editing counts without reporting itself.
class UnsavedChanges : public QObject
{
    Q_OBJECT
public:
    UnsavedChanges(UnitData *data, const ToolSetup *setup, BlockRead *blockRead, LevelExchange *levels,
                   BlockWrite *blockWrite, Prompts *prompts, QObject *parent = nullptr);

    bool pending() const;
    // The tool's set, or one part of it, now is what the unit or a file holds.
    void agree();
    void agreeParams();
    void agreeLevels();
    // A single save the unit confirmed: the bytes read back are what the unit holds now.
    void agreeChecked(const QList<MemoryCheck::Byte> &bytes, MemoryCheck::Outcome outcome);

    // Every edit field and button under `root` may change the set: a change there is looked at.
    void watch(QWidget *root);
    // Before another set replaces the tool's: true when nothing would be lost or the technician
    // lets the changes go.
    bool mayReplace();
    // The same before a level read, which replaces the levels alone.
    bool mayReplaceLevels();
    // A stop that cannot ask: the unsaved set goes into the backup folder, for the next start to
    // point at. Returns its path; empty when nothing needed keeping or it could not be written
    // (`error` says why).
    QString keepForLater(QString *error = nullptr);

    // Looks again soon, once for any number of changes in a row.
    void recheckSoon() { m_recheck.start(); }

signals:
    // pending() turned.
    void changed();

private:
    void recheck();
    bool askReplace();

    UnitData *m_data;
    const ToolSetup *m_setup;
    Prompts *m_prompts;
    QTimer m_recheck;
    // The set as last agreed with the unit (read, or written and checked) or with a file (saved or
    // loaded); the start-up set until then. The tool's copy differing from it is unsaved work.
    ParameterSet m_agreed;
    bool m_shown = false;        // pending() as last said
    bool m_readingSet = false;   // a block came; its level answer (or its end) is still to come
    ParameterSet m_kept;         // what keepForLater() wrote last
};
