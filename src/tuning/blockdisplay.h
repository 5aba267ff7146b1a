#pragma once
#include <QByteArray>
#include <QObject>

class LiveValuesPage;
class TuningPage;
class ToolSetup;
class UnitData;
struct LiveValues;

// Shows the parameter block on the controls and keeps what derives from it up to date: the
// threshold markers on both pages' gauges, the text about the TPS logic and the box of the power
// range the engine runs in now.
class BlockDisplay : public QObject
{
    Q_OBJECT
public:
    BlockDisplay(UnitData *data, const ToolSetup *setup, TuningPage *page, LiveValuesPage *livePage,
                 QObject *parent = nullptr);

    // A whole block from the unit or a file replaces the tool's one and is shown.
    void takeOverBlock(const QByteArray &block);
    // Puts every byte into its control on this page without that counting as an edit.
    void showParamBlock();
    void placeThresholdMarks();
    void showTpsLogic();
    // The active power range follows the TPS of every status reply.
    void followLiveValues(const LiveValues &values);
    void highlightPowerRange();

    // A hand edit: the block no longer is the named parameter set it came as.
    void markUnversioned();
    // The label `Verze` names the version in block byte 16.
    void showVersion();

signals:
    // After takeOverBlock has shown the block here: other pages show their part of it.
    void blockTakenOver();

private:
    UnitData *m_data;
    const ToolSetup *m_setup;
    TuningPage *m_page;
    LiveValuesPage *m_live;
    int m_liveTps = 0;  // of the last status reply
};
