#include "workingfolder.h"
#include "textformat/cp1250.h"
#include "settingsfile.h"
#include "cfgfiles/configfile.h"
#include <QDir>
#include <QFileInfo>

QString WorkingFolder::sampleNotice() const
{
    return QStringLiteral("Pracovní složka programu je %1.\n"
                          "Byl do ní zapsán vzorový soubor TESTER.INI s popisem všech nastavení.\n"
                          "Port převodníku vyberte v dolní liště okna, do TESTER.INI se zapíše sám.")
        .arg(QDir::toNativeSeparators(path));
}

QString expandHome(const QString &path, const QString &home)
{
    if (path == QLatin1String("~"))
        return home;
    if (path.startsWith(QLatin1String("~/")))
        return QDir(home).filePath(path.mid(2));
    return path;
}

WorkingFolder prepareWorkingFolder(const QString &requested, const QString &currentFolder, const QString &home)
{
    WorkingFolder folder;
    if (requested.isEmpty()) {
        folder.path = QDir(currentFolder).absolutePath();
        return folder;
    }
    folder.path = QDir::cleanPath(QDir(currentFolder).absoluteFilePath(expandHome(requested, home)));
    const QFileInfo info(folder.path);
    if (info.exists() && !info.isDir()) {
        folder.error = QStringLiteral("%1 není složka: zvolte pro volbu --slozka jinou.")
                           .arg(QDir::toNativeSeparators(folder.path));
        return folder;
    }
    if (!QDir().mkpath(folder.path)) {
        folder.error = QStringLiteral("Pracovní složku %1 nelze vytvořit: zkontrolujte práva, "
                                      "nebo zvolte pro volbu --slozka jinou.")
                           .arg(QDir::toNativeSeparators(folder.path));
        return folder;
    }
    // Whole or not at all, so a full disk leaves no half file that the next start would read as
    // the technician's own. A file that cannot be written leaves the folder as it was: start-up
    // then says that TESTER.INI is missing, as anywhere else.
    QString ignored;
    if (findSettingsFile(folder.path).isEmpty())
        folder.sampleWritten =
            ConfigFile::writeAtomically(QDir(folder.path).filePath(QStringLiteral("TESTER.INI")), sampleSettings(), &ignored);
    return folder;
}

QByteArray sampleSettings()
{
    static const char16_t text[] =
        u"; TESTER.INI – nastavení programu Velkor\n"
        u"; Program ho čte jen při spuštění, ze své pracovní složky. Řádek začínající\n"
        u"; středníkem je komentář: smažte středník a hodnotu upravte.\n"
        u"\n"
        u"[Komunikace]\n"
        u"; Sériový port převodníku k jednotce. Vyberte ho v dolní liště okna, zvolený\n"
        u"; port se sem zapíše sám. Lze ho napsat i ručně, například:\n"
        u";Port=/dev/ttyUSB0\n"
        u"; Jak často se čte stav jednotky, v milisekundách (nejméně 20).\n"
        u"Obeznik=250\n"
        u"\n"
        u"[Tlacitka]\n"
        u"; Popisky šesti tlačítek stránky Ladění (zde výchozí).\n"
        u";Tl1=Odeslat do ŘJ\n"
        u";Tl2=Načíst z ŘJ\n"
        u";Tl3=Konec\n"
        u";Tl4=RAM->EEPROM\n"
        u";Tl5=Tovární reset\n"
        u";Tl6=EEPROM -> RAM\n"
        u"\n"
        u"[Verze]\n"
        u"; Názvy verzí konfigurace 01 až 99, klíč vždy dvěma číslicemi, například:\n"
        u";01=Škoda Octavia 1.6 MPI\n"
        u"\n"
        u"[Emulace]\n"
        u"; Texty kódů měření emulace 00 až 99, klíč vždy dvěma číslicemi, například:\n"
        u";05=Měření volnoběhu ukončeno\n"
        u"\n"
        u"[Osciloskop]\n"
        u"; Názvy adres paměti jednotky 0 až 255 pro osciloskop (NIC = bez názvu), například:\n"
        u";13=Lambda\n"
        u"\n"
        u"[Dilna]\n"
        u"; Dílna, kterou uvádí servisní protokol v záhlaví a u podpisu technika, například:\n"
        u";Nazev=Autoservis U Mostu\n"
        u";Adresa=Nádražní 12, 280 02 Kolín\n"
        u";Telefon=321 000 111\n"
        u";Technik=Jan Novák\n";
    QByteArray bytes;
    encodeWindows1250(QString::fromUtf16(text).replace(QLatin1Char('\n'), QLatin1String("\r\n")), &bytes);
    return bytes;
}
