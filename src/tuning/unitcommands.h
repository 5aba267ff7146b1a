#pragma once
#include <QObject>
#include <functional>

class BlockDisplay;
class Prompts;
class TuningPage;
class BlockRead;
class BlockWrite;
class CommandExchange;
class UnitData;

// The whole-unit commands of the tuning page (Button1, 2, 4, 5, 6; "Konec" belongs to the window).
// The lambda status page repeats the read and the RAM->EEPROM commands with buttons of its own.
class UnitCommands : public QObject
{
    Q_OBJECT
public:
    UnitCommands(UnitData *data, TuningPage *page, BlockDisplay *display, CommandExchange *commands, BlockRead *blockRead,
                 BlockWrite *blockWrite, Prompts *prompts,
                 QObject *parent = nullptr);

    // Writes the block, then checks it by reading it back; a block that never came from a unit or
    // a file goes only after the technician has said so.
    void writeBlock();
    void readBlock();  // read the block
    // RAM -> EEPROM; `sent` runs once the command has left. False when no port is open.
    bool commitToEeprom(std::function<void()> sent = {});
    // Factory reset and EEPROM -> RAM: after the questions, and then the block is read again, so
    // the page shows what the unit now holds.
    void factoryReset();
    void reloadFromEeprom();

    // The unit's RAM has time to take the reset or the reload before the block is asked for.
    static constexpr int SettleBeforeReadMs = 300;

private:
    // Changes the unit holds in RAM alone are lost by a reload or a reset: true to go on.
    bool mayDropRamChanges();
    void sendThenReadBack(quint8 code);

    UnitData *m_data;
    TuningPage *m_page;
    BlockDisplay *m_display;
    CommandExchange *m_commands;
    BlockRead *m_blockRead;
    BlockWrite *m_blockWrite;
    Prompts *m_prompts;
};
