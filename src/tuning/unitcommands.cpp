#include "unitcommands.h"
#include "blockdisplay.h"
#include "paramblock.h"
#include "tuningpage.h"
#include "prompts/prompts.h"
#include "link/unitdata.h"
#include "link/blockread.h"
#include "link/blockwrite.h"
#include "link/commandexchange.h"
#include "link/linktransport.h"
#include <QLabel>
#include <QPushButton>
#include <QTimer>

using namespace ParamBlock;

UnitCommands::UnitCommands(UnitData *data, TuningPage *page, BlockDisplay *display, CommandExchange *commands,
                           BlockRead *blockRead, BlockWrite *blockWrite, Prompts *prompts, QObject *parent)
    : QObject(parent), m_data(data), m_page(page), m_display(display), m_commands(commands), m_blockRead(blockRead),
      m_blockWrite(blockWrite), m_prompts(prompts)
{
    connect(page->writeBlockButton(), &QPushButton::clicked, this, &UnitCommands::writeBlock);
    connect(page->readBlockButton(), &QPushButton::clicked, this, &UnitCommands::readBlock);
    connect(page->commitToEepromButton(), &QPushButton::clicked, this, [this] { commitToEeprom(); });
    connect(page->factoryResetButton(), &QPushButton::clicked, this, &UnitCommands::factoryReset);
    connect(page->reloadFromEepromButton(), &QPushButton::clicked, this, &UnitCommands::reloadFromEeprom);
}

void UnitCommands::writeBlock()
{
    // A closed port is said before anything is asked. Sending the start-up block or the remains
    // of a failed read would overwrite the unit's settings with something nobody chose.
    if (!m_commands->requirePort())
        return;
    if (!m_data->set().blockValid()
        && !m_prompts->askYesNo(QStringLiteral("Pozor !!!"),
                                QStringLiteral("Parametry nebyly načteny z řídicí jednotky ani ze souboru.\n"
                                               "Opravdu je odeslat do ŘJ?")))
        return;
    m_blockWrite->writeBlock();
}

void UnitCommands::readBlock()
{
    m_blockRead->readBlock();
}

bool UnitCommands::commitToEeprom(std::function<void()> sent)
{
    // The status bits change only together with the unit's.
    if (!m_commands->requirePort())
        return false;
    // What the unit commits is no longer the named set the tool last showed.
    m_display->markUnversioned();
    unsigned status = m_data->set().paramByte(UnitFlags);
    setBit(status, EepromCommitSetBit);
    clearBit(status, EepromCommitClearBit);
    m_data->set().setParamByte(UnitFlags, quint8(status));
    m_page->statusLabel(UnitFlags)->setText(byteToBinary(status));
    // The unit takes its status byte before the commit, so the commit stores it as well. It
    // confirms nothing: the tool can say only that the command went.
    LinkTransport *link = m_commands->link();
    return m_commands->commandWithoutAnswer(UnitCode::RamToEeprom, m_commands->writeFrame(unitAddress(UnitFlags), quint8(status)),
                                            [link, sent] {
                                                link->announceLinkMessage(QStringLiteral("Odesláno do EEPROM"));
                                                if (sent)
                                                    sent();
                                            });
}

bool UnitCommands::mayDropRamChanges()
{
    return !m_data->set().ramOnlyChanges()
           || m_prompts->askYesNo(QStringLiteral("Pozor !!!"),
                                  QStringLiteral("Jednotka má v RAM změny, které nejsou v EEPROM. Zahodit je?"));
}

void UnitCommands::sendThenReadBack(quint8 code)
{
    m_commands->commandWithoutAnswer(code, {}, [this] { QTimer::singleShot(SettleBeforeReadMs, this, &UnitCommands::readBlock); });
}

void UnitCommands::factoryReset()
{
    if (!mayDropRamChanges())
        return;
    if (!m_prompts->askYesNo(QStringLiteral("Pozor !!!"), QStringLiteral("Opravdu provést tovární RESET ?")))
        return;
    sendThenReadBack(UnitCode::FactoryReset);
}

void UnitCommands::reloadFromEeprom()
{
    if (!mayDropRamChanges())
        return;
    m_display->markUnversioned();
    sendThenReadBack(UnitCode::EepromToRam);
}
