#include "portname.h"
#include "textformat/messageexcerpt.h"

QString portNameFault(const QString &name)
{
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("Název portu „%1“ obsahuje neviditelný řídicí znak (kód %2), takový port nelze otevřít. "
                                  "Opravte Port v oddílu [Komunikace] souboru TESTER.INI.")
                .arg(messageExcerpt(name))
                .arg(c.unicode());
    }
    return {};
}
