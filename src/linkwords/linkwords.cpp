#include "linkwords.h"
#include "link/blockread.h"
#include "link/levelexchange.h"
#include "link/linktransport.h"

QString blockWriteWords(BlockWrite::Result result)
{
    if (result == BlockWrite::Result::Verified)
        return QStringLiteral("Uloženo do RAM – trvale uloží RAM->EEPROM");
    return result == BlockWrite::Result::Wrong ? QStringLiteral("Nesprávné uložení!") : QStringLiteral("Uložení neověřeno!");
}

void announceLinkOutcomes(UnitLink &unit)
{
    LinkTransport *link = &unit.transport;
    QObject::connect(&unit.blockRead, &BlockRead::blockReceived, link,
                     [link] { link->announceLinkMessage(QStringLiteral("Načteno  OK")); });
    QObject::connect(&unit.blockWrite, &BlockWrite::writeEnded, link,
                     [link](BlockWrite::Result result) { link->announceLinkMessage(blockWriteWords(result)); });
    QObject::connect(&unit.levels, &LevelExchange::readUnanswered, link,
                     [link] { link->announceLinkMessage(QStringLiteral("Jednotka neodpovídá!")); });
    QObject::connect(link, &LinkTransport::portNotOpen, link,
                     [link] { link->announceLinkMessage(QStringLiteral("Port není otevřen")); });
}
