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

    void writeBlock();  // write the block, then check it by reading it back
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
