#include "portwords.h"
#include "link/portname.h"
#include "textformat/messageexcerpt.h"

namespace {

#ifdef Q_OS_LINUX
QString currentUser()
{
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? QStringLiteral("$USER") : user;
}
#endif

}  // namespace

QString portErrorText(const EComPort &error)
{
    if (error.reason == EComPort::Invalid)
        return portNameFault(error.port);
    // A name from a damaged file may be a megabyte long.
    const QString port = messageExcerpt(error.port);
    switch (error.reason) {
    case EComPort::Missing:
        return QStringLiteral("Port %1 nebyl nalezen: zkontrolujte kabel a převodník, případně vyberte jiný port "
                              "v dolní liště okna.").arg(port);
    case EComPort::Busy:
        return QStringLiteral("Port %1 je obsazen jiným programem: ukončete ho, nebo vyberte jiný port.").arg(port);
    case EComPort::Denied:
#ifdef Q_OS_LINUX
        return QStringLiteral("K portu %1 nemáte přístup: uživatel musí být ve skupině dialout. Spusťte\n"
                              "sudo adduser %2 dialout\na přihlaste se znovu.").arg(port, currentUser());
#else
        return QStringLiteral("K portu %1 nemáte přístup.").arg(port);
#endif
    case EComPort::Lost:
        return QStringLiteral("Spojení s řídicí jednotkou bylo přerušeno: port %1 zmizel nebo přestal "
                              "odpovídat. Zkontrolujte kabel; program port otevře znovu sám, jakmile "
                              "bude zpět.").arg(port);
    case EComPort::Other:
    case EComPort::Invalid:
        break;
    }
    if (error.code == EComPort::SetStateFailed)
        return QStringLiteral("Port %1 nepřijal nastavení linky 9600 Bd, 8 bitů, bez parity (chyba systému %2).")
            .arg(port).arg(error.systemError);
    return QStringLiteral("Port %1 nelze otevřít (chyba systému %2).").arg(port).arg(error.systemError);
}

QString portProblemText(const std::optional<EComPort> &problem)
{
    return problem ? portErrorText(*problem) : QString();
}

QString portNameFault(const QString &name)
{
    const qsizetype at = firstControlCharacter(name);
    if (at < 0)
        return {};
    return QStringLiteral("Název portu „%1“ obsahuje neviditelný řídicí znak (kód %2), takový port nelze otevřít. "
                          "Opravte Port v oddílu [Komunikace] souboru TESTER.INI.")
        .arg(messageExcerpt(name))
        .arg(name.at(at).unicode());
}
