#pragma once
#include <QObject>

class QLineEdit;
class BlockDisplay;
class Prompts;
class SpinEdit;
class TuningPage;
class CommandExchange;
class MemoryCheck;
class UnitData;
namespace ParamFields { struct SpinField; struct TextField; }

// The editing rules of the tuning page: every change a technician makes goes straight into the
// parameter block (and drops the block's version); "Ulož" writes one value to the unit. Nothing
// is sent on a change alone.
class ParamEditor : public QObject
{
    Q_OBJECT
public:
    static constexpr int VersionWritePauseMs = 10;

    ParamEditor(UnitData *data, TuningPage *page, BlockDisplay *display, CommandExchange *commands, MemoryCheck *check,
                Prompts *prompts, QObject *parent = nullptr);

    // Change handlers, one per rule; the table in ParamFields says which control runs which.
    void stopMaxEdited(const ParamFields::SpinField &field);
    void stopMinEdited(const ParamFields::SpinField &field);
    void speedEdited(const ParamFields::SpinField &field);
    void tpsThreshold1Edited();
    void tpsThreshold2Edited();
    void tpsThreshold3Edited();
    void textValueEdited(const ParamFields::TextField &field);

    // "Ulož": the control's value to its unit address, then the version byte 10 ms later; both are
    // then read back, and the page says whether the unit holds them.
    void saveOneValue(const ParamFields::SpinField &field);

    // Reads a byte edit's text as 0..255. A text that is no number becomes "0" with a beep and
    // gives false; a number beyond the byte is replaced by its limit.
    bool checkByteText(QLineEdit *edit, int &value);

private:
    void thresholdChanged(int index);
    SpinEdit *partner(const ParamFields::SpinField &field) const;

    UnitData *m_data;
    TuningPage *m_page;
    BlockDisplay *m_display;
    CommandExchange *m_commands;
    MemoryCheck *m_check;
    Prompts *m_prompts;
};
