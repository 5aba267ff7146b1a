#include "unitcommands.h"
#include "blockdisplay.h"
#include "paramblock.h"
#include "tuningpage.h"
#include "link/prompts.h"
#include "link/unitdata.h"
#include "link/blockread.h"
#include "link/blockwrite.h"
#include "link/commandexchange.h"
#include <QLabel>
#include <QPushButton>

using namespace ParamBlock;

UnitCommands::UnitCommands(UnitData *data, TuningPage *page, BlockDisplay *display, CommandExchange *commands,
                           BlockRead *blockRead, BlockWrite *blockWrite, Prompts *prompts, QObject *parent)
    : QObject(parent), m_data(data), m_page(page), m_display(display), m_commands(commands), m_blockRead(blockRead),
      m_blockWrite(blockWrite), m_prompts(prompts)
{
    connect(page->commandButton(1), &QPushButton::clicked, this, &UnitCommands::Button1Click);
    connect(page->commandButton(2), &QPushButton::clicked, this, &UnitCommands::Button2Click);
    connect(page->commandButton(4), &QPushButton::clicked, this, &UnitCommands::Button4Click);
    connect(page->commandButton(5), &QPushButton::clicked, this, &UnitCommands::Button5Click);
    connect(page->commandButton(6), &QPushButton::clicked, this, &UnitCommands::Button6Click);
}

void UnitCommands::Button1Click()
{
    m_blockWrite->writeBlock();
}

void UnitCommands::Button2Click()
{
    m_blockRead->readBlock();
}

void UnitCommands::Button4Click()
{
    // The status bits change only together with the unit's.
    if (!m_commands->requirePort())
        return;
    // What the unit commits is no longer the named set the tool last showed.
    m_display->MarkUnversioned();
    unsigned status = m_data->paramBlock[STAVJ];
    SetBit(status, EepromCommitSetBit);
    ClearBit(status, EepromCommitClearBit);
    m_data->paramBlock[STAVJ] = quint8(status);
    m_page->statusLabel(STAVJ)->setText(ByteToBinary(status));
    // The unit takes its status byte before the commit, so the commit stores it as well.
    m_commands->commandWithoutAnswer(UnitCode::RamToEeprom, m_commands->writeFrame(unitAddress(STAVJ), quint8(status)));
}

void UnitCommands::Button5Click()
{
    if (!m_prompts->askYesNo(QStringLiteral("Pozor !!!"), QStringLiteral("Opravdu provést tovární RESET ?")))
        return;
    // The tool's block keeps its bytes until the next read.
    m_commands->commandWithoutAnswer(UnitCode::FactoryReset);
}

void UnitCommands::Button6Click()
{
    m_display->MarkUnversioned();
    m_commands->commandWithoutAnswer(UnitCode::EepromToRam);
}
