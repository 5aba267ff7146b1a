#include "savecheckwords.h"
#include "link/linktransport.h"

QString saveCheckWords(MemoryCheck::Outcome outcome)
{
    switch (outcome) {
    case MemoryCheck::Outcome::Confirmed: return QStringLiteral("Uloženo do RAM – trvale uloží RAM->EEPROM");
    case MemoryCheck::Outcome::NotConfirmed: return QStringLiteral("Uložení neověřeno!");
    case MemoryCheck::Outcome::NoAnswer: break;
    }
    return QStringLiteral("Odesláno");
}

void tellSaveOutcome(MemoryCheck *check, MemoryCheck::Outcome outcome)
{
    check->link()->announceLinkMessage(saveCheckWords(outcome));
}
