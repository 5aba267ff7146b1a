#pragma once
#include <QObject>

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
    void commitToEeprom();  // RAM -> EEPROM
    void factoryReset();  // factory reset, after the question
    void reloadFromEeprom();  // EEPROM -> RAM

private:
    UnitData *m_data;
    TuningPage *m_page;
    BlockDisplay *m_display;
    CommandExchange *m_commands;
    BlockRead *m_blockRead;
    BlockWrite *m_blockWrite;
    Prompts *m_prompts;
};
