#include "commandline.h"
#include "appversion.h"
#include <QtGlobal>
#include <cstdio>
#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

CommandLine CommandLine::parse(const QStringList &arguments)
{
    CommandLine line;
    const auto fail = [&line](const QString &cs, const QString &en) {
        if (line.error.isEmpty())
            line.error = cs + QLatin1Char('\n') + en;
    };
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            line.help = true;
            continue;
        }
        if (arg == QLatin1String("--version")) {
            line.version = true;
            continue;
        }
        QString value;
        bool folderOption = false;
        for (const QLatin1String name : {QLatin1String("--slozka"), QLatin1String("--dir")}) {
            if (arg == name) {
                folderOption = true;
                // "--slozka --help" lacks its folder; a folder named "-x" is written "./-x".
                if (i + 1 < arguments.size() && !arguments[i + 1].startsWith(QLatin1Char('-')))
                    value = arguments[++i];
            } else if (arg.startsWith(name + QLatin1Char('='))) {
                folderOption = true;
                value = arg.mid(name.size() + 1);
            }
        }
        if (!folderOption) {
            fail(QStringLiteral("Neznámá volba: %1").arg(arg), QStringLiteral("Unknown option: %1").arg(arg));
            continue;
        }
        if (value.isEmpty())
            fail(QStringLiteral("Volbě %1 chybí název složky.").arg(arg.section(QLatin1Char('='), 0, 0)),
                 QStringLiteral("Option %1 needs a folder.").arg(arg.section(QLatin1Char('='), 0, 0)));
        line.folder = value;
    }
    return line;
}

QStringList CommandLine::arguments(int argc, char *argv[])
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}

namespace {
// A program with a window has no console on Windows: started from a command prompt, it writes to
// that prompt's console; with its output redirected, to where it goes; from the desktop, nowhere.
void reachTheConsole()
{
#ifdef Q_OS_WIN
    static bool tried = false;
    if (tried)
        return;
    tried = true;
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (out != nullptr && out != INVALID_HANDLE_VALUE)
        return;
    if (!::AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
#endif
}
}  // namespace

void printOut(const QString &text)
{
    reachTheConsole();
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void printError(const QString &text)
{
    reachTheConsole();
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

QString versionText()
{
    return QStringLiteral("velkor %1\n").arg(appVersion());
}

QString helpText()
{
    return QStringLiteral(
        "Velkor %1 – servis a ladění jednotky\n"
        "\n"
        "Použití: velkor [--slozka SLOŽKA]\n"
        "\n"
        "  --slozka SLOŽKA, --dir SLOŽKA\n"
        "              pracovní složka s TESTER.INI a složkou data; chybějící se vytvoří\n"
        "              a dostane vzorový TESTER.INI; ~ je domovská složka; bez volby\n"
        "              pracuje program v aktuální složce\n"
        "  -h, --help  vypíše tuto nápovědu\n"
        "  --version   vypíše verzi programu\n"
        "\n"
        "TESTER.INI v pracovní složce: sekce [Komunikace], [Tlacitka], [Verze], [Emulace],\n"
        "[Osciloskop] a [Dilna] (dílna v servisním protokolu); podrobně v man velkor.\n"
        "\n"
        "Sériový port otevře jen člen skupiny dialout:\n"
        "  sudo adduser $USER dialout   (a znovu se přihlaste)\n"
        "\n"
        "Velkor %1 – unit service and tuning\n"
        "\n"
        "Usage: velkor [--dir FOLDER]\n"
        "\n"
        "  --dir FOLDER, --slozka FOLDER\n"
        "              working folder holding TESTER.INI and the folder data; created\n"
        "              with a sample TESTER.INI when missing; ~ is the home folder;\n"
        "              without it the tool works in the current folder\n"
        "  -h, --help  prints this help\n"
        "  --version   prints the version\n"
        "\n"
        "TESTER.INI in the working folder: sections [Komunikace], [Tlacitka], [Verze],\n"
        "[Emulace], [Osciloskop] and [Dilna] (the workshop on the service report); see man velkor.\n"
        "\n"
        "Only members of the group dialout may open the serial port:\n"
        "  sudo adduser $USER dialout   (then log in again)\n")
        .arg(appVersion());
}
