#include "textformat/cp1250.h"
#include "app/profilefile.h"
#include "app/settingsfile.h"
#include "textformat/messageexcerpt.h"
#include "linkwords/portwords.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <optional>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

void compareSettings(const TesterSettings &actual, const TesterSettings &expected)
{
    QCOMPARE(actual.fileFound, expected.fileFound);
    QCOMPARE(actual.addressNames, expected.addressNames);
    QCOMPARE(actual.measurementTexts, expected.measurementTexts);
    QCOMPARE(actual.versionNames, expected.versionNames);
    QCOMPARE(actual.buttonCaptions, expected.buttonCaptions);
    QCOMPARE(actual.port, expected.port);
    QCOMPARE(actual.pollInterval, expected.pollInterval);
}

// A file as a workshop would keep it: Windows-1250 text, CRLF, the odd slip in key spelling.
const QByteArray kWorkshopFile =
    "; nastaveni testeru\r\n"
    "[Osciloskop]\r\n5=Lambda\r\n6=nic\r\n200=NIC\r\n005=Nula\r\n"
    "[Emulace]\r\n00=Start\r\n7=Jednomistny\r\n42=Ot\xe1\xe8ky\r\n100=Mimo\r\n"
    "[Verze]\r\n00=Nula\r\n7=Kratky\r\n07=Verze sedm\r\n99=Posledn\xed\r\n"
    "[Tlacitka]\r\nTl1=\r\nTl3=Zav\xf8\xedt\r\n"
    "[Komunikace]\r\nPort=/dev/ttyUSB0\r\nObeznik=100\r\n";

const QString kNone = QStringLiteral("<none>");

QByteArray utf16(const QString &text, bool bigEndian)
{
    QByteArray out = bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (const QChar c : text) {
        const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
        out.append(bigEndian ? hi : lo).append(bigEndian ? lo : hi);
    }
    return out;
}

// Root reads any file; while this lives, this thread's root cannot read past permissions.
struct FilePermissionsBindRoot
{
    FilePermissionsBindRoot() { ok = setOverride(false); }
    ~FilePermissionsBindRoot() { setOverride(true); }
    static bool setOverride(bool on)
    {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2];
        if (syscall(SYS_capget, &header, data) != 0)
            return false;
        const unsigned mask = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
        data[0].effective = on ? data[0].effective | mask : data[0].effective & ~mask;
        return syscall(SYS_capset, &header, data) == 0;
    }
    bool ok = false;
};

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void cp1250MatchesPlatformDecoder()
    {
        QStringDecoder reference("windows-1250");
        if (!reference.isValid())
            QSKIP("this Qt has no Windows-1250 decoder to compare with");
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString expected = reference.decode(all);
        const QString actual = decodeWindows1250(all);
        QCOMPARE(actual.size(), 256);
        for (int b = 0; b < 256; ++b)
            QVERIFY2(actual.at(b) == expected.at(b), qPrintable(QString::asprintf("byte 0x%02X", b)));
    }

    // Runs even where the platform decoder is missing, so a slipped table row still shows.
    void cp1250CzechLetters()
    {
        QCOMPARE(decodeWindows1250("\xd8\xe8\xec\x9a\xf8\x9e\xfd\xe1\xed\xe9\xf9\xfa\xef\x9d\xf2"),
                 QStringLiteral("Řčěšřžýáíéůúďťň"));
        QCOMPARE(decodeWindows1250("\x8a\x8e\xc8\xcc\xd9\xda\xcf\x8d\xd2\xc1\xc9\xcd\xd3\xdd\x80"),
                 QStringLiteral("ŠŽČĚŮÚĎŤŇÁÉÍÓÝ€"));
        // Undefined positions keep their byte value rather than collapsing into one replacement mark.
        QCOMPARE(decodeWindows1250("\x81\x98"), QString(QChar(0x81)) + QChar(0x98));
        QCOMPARE(decodeWindows1250(QByteArray("a\0b", 3)), QStringView(u"a\0b", 3).toString());
    }

    // Every row looks up key "k" of section "S".
    void profileLookup_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("last line without newline") << QByteArray("[S]\nk=v") << "v";
        QTest::newRow("cp1250 value") << QByteArray("[S]\nk=Na\xe8\xedst z \xd8J\n") << QStringLiteral("Načíst z ŘJ");
        QTest::newRow("case of section and key") << QByteArray("[s]\nK=x\n") << "x";
        QTest::newRow("blanks trimmed") << QByteArray(" \t[ S \t]\n \tk \t= \tv w \t\n") << "v w";
        QTest::newRow("text after header") << QByteArray("[S] ; pozn.\nk=v\n") << "v";
        QTest::newRow("CR only") << QByteArray("[S]\rk=v\r") << "v";
        QTest::newRow("first key wins") << QByteArray("[S]\nk=1\nK=2\n") << "1";
        QTest::newRow("first section wins") << QByteArray("[S]\nk=1\n[s]\nk=2\n") << "1";
        QTest::newRow("later duplicate unseen") << QByteArray("[S]\na=1\n[S]\nk=2\n") << kNone;
        QTest::newRow("first = splits") << QByteArray("[S]\nk = a=b \n") << "a=b";
        QTest::newRow("empty value") << QByteArray("[S]\nk=\n") << "";
        QTest::newRow("double quotes") << QByteArray("[S]\nk=\" a b \"\n") << " a b ";
        QTest::newRow("single quotes") << QByteArray("[S]\nk='x'\n") << "x";
        QTest::newRow("empty quotes") << QByteArray("[S]\nk=\"\"\n") << "";
        QTest::newRow("mixed quotes kept") << QByteArray("[S]\nk=\"x'\n") << "\"x'";
        QTest::newRow("lone quote kept") << QByteArray("[S]\nk=\"\n") << "\"";
        QTest::newRow("inner quotes kept") << QByteArray("[S]\nk=a \"b\"\n") << "a \"b\"";
        QTest::newRow("comment line") << QByteArray("[S]\n;k=1\nk=2\n") << "2";
        QTest::newRow("indented comment") << QByteArray("[S]\n \t;k=1\nk=2\n") << "2";
        QTest::newRow("commented header") << QByteArray("[S]\n;[T]\nk=1\n") << "1";
        QTest::newRow("semicolon inside value") << QByteArray("[S]\nk=a ; b\n") << "a ; b";
        QTest::newRow("line without =") << QByteArray("[S]\nk\nk=2\n") << "2";
        QTest::newRow("key before any section") << QByteArray("k=1\n[S]\n") << kNone;
        QTest::newRow("unclosed bracket") << QByteArray("[S]\n[T\nk=1\n") << "1";
    }

    void profileLookup()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        const ProfileFile profile = ProfileFile::fromBytes(file);
        QCOMPARE(profile.contains(QStringLiteral("S"), QStringLiteral("k")), expected != kNone);
        QCOMPARE(profile.value(QStringLiteral("S"), QStringLiteral("k"), kNone), expected);
    }

    void profileNamesIgnoreCzechCase()
    {
        const ProfileFile profile = ProfileFile::fromBytes("[\xd8\xc1" "D]\n\xc8\xcd" "SLO=x\n;k=1\n");
        QCOMPARE(profile.value(QStringLiteral("řád"), QStringLiteral("číslo"), kNone), QStringLiteral("x"));
        // A comment is not a key whose name starts with ';'.
        QVERIFY(!profile.contains(QStringLiteral("řád"), QStringLiteral(";k")));
    }

    void profileIntValue_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << QByteArray("100") << 100;
        QTest::newRow("plus") << QByteArray("+7") << 7;
        QTest::newRow("negative") << QByteArray("-5") << -5;
        QTest::newRow("blanks") << QByteArray(" \t42\t ") << 42;
        QTest::newRow("quoted") << QByteArray("\"15\"") << 15;
        QTest::newRow("text") << QByteArray("abc") << -1;
        QTest::newRow("trailing text") << QByteArray("12abc") << -1;
        QTest::newRow("form feed") << QByteArray("12\f") << -1;
        QTest::newRow("hex") << QByteArray("0x10") << -1;
        QTest::newRow("sign only") << QByteArray("-") << -1;
        QTest::newRow("empty") << QByteArray("") << -1;
        QTest::newRow("overflow") << QByteArray("99999999999") << -1;
    }

    void profileIntValue()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, expected);
        const ProfileFile profile = ProfileFile::fromBytes("[S]\nn=" + value + "\n");
        QCOMPARE(profile.intValue(QStringLiteral("S"), QStringLiteral("n"), -1), expected);
        QCOMPARE(profile.intValue(QStringLiteral("S"), QStringLiteral("missing"), -2), -2);
    }

    void defaultsWithoutFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const TesterSettings s = loadTesterSettings(dir.path());
        QVERIFY(!s.fileFound);
        QCOMPARE(s.addressNames, QStringList(256, QStringLiteral("NIC")));
        QVERIFY(s.namedAddresses().isEmpty());
        QCOMPARE(s.measurementTexts, QStringList(100, QStringLiteral("Nedefinováno")) + QStringList(28, QString()));
        QCOMPARE(s.versionNames, QStringList(QStringLiteral("Bez verze!")) + QStringList(99, QStringLiteral("Nedefinováno")));
        QCOMPARE(s.buttonCaptions, (QStringList{QStringLiteral("Odeslat do ŘJ"), QStringLiteral("Načíst z ŘJ"),
                                                QStringLiteral("Konec"), QStringLiteral("RAM->EEPROM"),
                                                QStringLiteral("Tovární reset"), QStringLiteral("EEPROM -> RAM")}));
        QCOMPARE(s.port, QStringLiteral("COM2"));
        QCOMPARE(s.pollInterval, 250);

        // Code that has not read the file yet starts from the same values.
        TesterSettings expected;
        compareSettings(s, expected);
        // A file that exists but names nothing we read changes nothing else.
        expected.fileFound = true;
        compareSettings(readTesterSettings(ProfileFile::fromBytes("[Jine]\r\nPort=COM9\r\n")), expected);
    }

    void workshopFile()
    {
        const TesterSettings s = readTesterSettings(ProfileFile::fromBytes(kWorkshopFile));
        QVERIFY(s.fileFound);
        QCOMPARE(s.addressNames.size(), 256);
        QCOMPARE(s.addressNames.at(5), QStringLiteral("Lambda"));
        QCOMPARE(s.addressNames.at(200), QStringLiteral("NIC"));
        QCOMPARE(s.addressNames.at(0), QStringLiteral("NIC")); // "005" is neither key 5 nor 0
        QCOMPARE(s.namedAddresses(), (QStringList{QStringLiteral("Lambda"), QStringLiteral("nic")}));

        QCOMPARE(s.measurementTexts.size(), 128);
        QCOMPARE(s.measurementTexts.at(0), QStringLiteral("Start"));
        QCOMPARE(s.measurementTexts.at(7), QStringLiteral("Nedefinováno"));
        QCOMPARE(s.measurementTexts.at(42), QStringLiteral("Otáčky"));
        QCOMPARE(s.measurementTexts.at(100), QString());

        QCOMPARE(s.versionNames.size(), 100);
        QCOMPARE(s.versionNames.at(0), QStringLiteral("Bez verze!"));
        QCOMPARE(s.versionNames.at(1), QStringLiteral("Nedefinováno"));
        QCOMPARE(s.versionNames.at(7), QStringLiteral("Verze sedm"));
        QCOMPARE(s.versionNames.at(99), QStringLiteral("Poslední"));
        // A one-digit key stays unread even when it is the only spelling.
        QCOMPARE(readTesterSettings(ProfileFile::fromBytes("[Verze]\n7=Kratky\n")).versionNames.at(7),
                 QStringLiteral("Nedefinováno"));

        QCOMPARE(s.buttonCaptions, (QStringList{QString(), QStringLiteral("Načíst z ŘJ"), QStringLiteral("Zavřít"),
                                                QStringLiteral("RAM->EEPROM"), QStringLiteral("Tovární reset"),
                                                QStringLiteral("EEPROM -> RAM")}));
        QCOMPARE(s.port, QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(s.pollInterval, 100);
        // The analysis limits come with the rest of the file, read once.
        QCOMPARE(s.analysisLimits.minSteadyS, AnalysisLimits().minSteadyS);
        QCOMPARE(readTesterSettings(ProfileFile::fromBytes("[Rozbor]\nMinUstalenoS=3\n")).analysisLimits.minSteadyS, 3.0);
    }

    void workshopOfTheReport()
    {
        // A file of the workshop's name alone is a file the tool reads: no notice.
        const TesterSettings s = readTesterSettings(ProfileFile::fromBytes(
            "[dilna]\r\nNazev=Autoservis Dvo\xf8\xe1k\r\nAdresa=Pr\xf9myslov\xe1 12, Kol\xedn\r\nTelefon= 321 654 987 \r\n"));
        QCOMPARE(s.notice(), QString());
        QCOMPARE(s.workshop.name, QStringLiteral("Autoservis Dvořák"));
        QCOMPARE(s.workshop.address, QStringLiteral("Průmyslová 12, Kolín"));
        QCOMPARE(s.workshop.phone, QStringLiteral("321 654 987"));
        QCOMPARE(s.workshop.technician, QString());
        QVERIFY(readTesterSettings(ProfileFile::fromBytes(kWorkshopFile)).workshop.isEmpty());
    }

    void pollInterval_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("expected");
        QTest::newRow("100") << QByteArray("Obeznik=100") << 100;
        QTest::newRow("text") << QByteArray("Obeznik=abc") << 250;
        QTest::newRow("zero") << QByteArray("Obeznik=0") << 250;
        QTest::newRow("negative") << QByteArray("Obeznik=-5") << 250;
        QTest::newRow("empty") << QByteArray("Obeznik=") << 250;
        QTest::newRow("missing") << QByteArray("Port=COM1") << 250;
        // Faster than one status exchange takes on the line: raised to the minimum, not refused.
        QTest::newRow("1 ms") << QByteArray("Obeznik=1") << 20;
        QTest::newRow("19 ms") << QByteArray("Obeznik=19") << 20;
        QTest::newRow("20 ms") << QByteArray("Obeznik=20") << 20;
    }

    void pollInterval()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, expected);
        const TesterSettings s = readTesterSettings(ProfileFile::fromBytes("[Komunikace]\r\n" + line + "\r\n"));
        QCOMPARE(s.pollInterval, expected);
    }

    void lineEndingsReadAlike()
    {
        const TesterSettings crlf = readTesterSettings(ProfileFile::fromBytes(kWorkshopFile));
        for (const char *ending : {"\n", "\r"}) {
            QByteArray other = kWorkshopFile;
            compareSettings(readTesterSettings(ProfileFile::fromBytes(other.replace("\r\n", ending))), crlf);
        }
    }

    void aFileSavedAsUtf8ReadsTheSame()
    {
        const TesterSettings cp1250 = readTesterSettings(ProfileFile::fromBytes(kWorkshopFile));
        const QByteArray utf8 = decodeWindows1250(kWorkshopFile).toUtf8();
        QVERIFY(utf8 != kWorkshopFile);
        compareSettings(readTesterSettings(ProfileFile::fromBytes(utf8)), cp1250);
        compareSettings(readTesterSettings(ProfileFile::fromBytes("\xEF\xBB\xBF" + utf8)), cp1250);
    }

    // Values as a workshop's damaged copies hold them; each row reads Port of [Komunikace].
    void damagedValues_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("expected");
        const QByteArray a255(255, 'a');
        QTest::newRow("NUL ends the value") << QByteArray("Port=COM5\0COM6", 14) << "COM5";
        QTest::newRow("NUL then blanks") << QByteArray("Port=COM5 \0x", 12) << "COM5";
        QTest::newRow("NUL first") << QByteArray("Port=\0COM5", 10) << "";
        QTest::newRow("255 kept") << "Port=" + a255 << QString::fromLatin1(a255);
        QTest::newRow("256 cut") << "Port=" + a255 + "b" << QString::fromLatin1(a255);
        QTest::newRow("1 MB cut") << "Port=" + QByteArray(1 << 20, 'a') << QString::fromLatin1(a255);
        QTest::newRow("quotes go before the cut") << "Port=\"" + a255 + "bb\"" << QString::fromLatin1(a255);
        // A character outside the BMP that would straddle the cut is left out whole.
        QTest::newRow("pair at the cut") << "Port=" + QByteArray(254, 'a') + "\xF0\x9F\x98\x80"
                                         << QString::fromLatin1(QByteArray(254, 'a'));
    }

    void damagedValues()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, expected);
        const TesterSettings s =
            readTesterSettings(ProfileFile::fromBytes("[Komunikace]\r\n" + line + "\r\nObeznik=100\r\n"));
        QCOMPARE(s.port, expected);
        QCOMPARE(s.pollInterval, 100); // the lines after a damaged one still count
    }

    void markedFilesReadTheSame_data()
    {
        QTest::addColumn<QByteArray>("file");
        const QString text = decodeWindows1250(kWorkshopFile);
        QTest::newRow("UTF-16 LE") << utf16(text, false);
        QTest::newRow("UTF-16 BE") << utf16(text, true);
        QTest::newRow("UTF-16 LE, last byte lost") << utf16(text, false) + "x";
        // An editor put a UTF-8 mark in front of Windows-1250 text.
        QTest::newRow("UTF-8 mark, cp1250 bytes") << "\xEF\xBB\xBF" + kWorkshopFile;
    }

    void markedFilesReadTheSame()
    {
        QFETCH(QByteArray, file);
        const TesterSettings s = readTesterSettings(ProfileFile::fromBytes(file));
        compareSettings(s, readTesterSettings(ProfileFile::fromBytes(kWorkshopFile)));
        QVERIFY(s.notice().isEmpty());
    }

    void noticesSayWhatIsWrongWithTheFile()
    {
        const QString defaults = QStringLiteral("\nPoužijí se defaultní hodnoty");
        struct Case
        {
            const char *name;
            std::function<bool(const QString &path)> make; // writes TESTER.INI at path
            QString notice;
            bool unreadable = false;
        };
        const Case cases[] = {
            {"missing", [](const QString &) { return true; },
             QStringLiteral("Pozor v pracovním adresáři není tester.ini") + defaults},
            {"no permission", [](const QString &p) {
                 return writeFile(p, "[Komunikace]\nPort=COM1\n") && QFile::setPermissions(p, {});
             },
             QStringLiteral("Pozor, soubor TESTER.INI v pracovním adresáři nelze přečíst: nemáte oprávnění ho číst")
                 + defaults, true},
            // The read itself fails, as on a bad sector: reading this file from offset 0 always does.
            {"read fails", [](const QString &p) { return QFile::link(QStringLiteral("/proc/self/mem"), p); },
             QStringLiteral("Pozor, soubor TESTER.INI v pracovním adresáři nelze přečíst: chyba při čtení (")},
            {"too large", [](const QString &p) {
                 QFile f(p);
                 return f.open(QIODevice::WriteOnly) && f.resize(ProfileFile::MaxFileSize + 1);
             },
             QStringLiteral("Pozor, soubor TESTER.INI v pracovním adresáři nelze přečíst: soubor je větší než 64 MB")
                 + defaults},
            {"UTF-16 without its mark", [](const QString &p) { return writeFile(p, utf16(QStringLiteral("[Verze]\r\n01=A\r\n"), false).mid(2)); },
             QStringLiteral("Pozor, v souboru TESTER.INI není žádná ze sekcí [Komunikace], [Tlacitka], [Verze], "
                            "[Emulace], [Osciloskop], [Dilna]") + defaults},
            {"one known section", [](const QString &p) { return writeFile(p, "[jine]\nx=1\n[VERZE]\n"); }, QString()},
        };
        for (const Case &c : cases) {
            QTemporaryDir dir;
            QVERIFY(dir.isValid());
            const QString path = QDir(dir.path()).filePath(QStringLiteral("TESTER.INI"));
            QVERIFY2(c.make(path), c.name);
            std::optional<FilePermissionsBindRoot> bound;
            if (c.unreadable && geteuid() == 0 && !bound.emplace().ok)
                QSKIP("cannot make a file unreadable for root here");
            const TesterSettings s = loadTesterSettings(dir.path());
            bound.reset();
            QVERIFY2(s.notice().startsWith(c.notice), qPrintable(QString::fromLatin1(c.name) + ": " + s.notice()));
            QCOMPARE(s.port, QStringLiteral("COM2"));
        }
    }

    void excerptsAndPortNames_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("excerpt");
        QTest::addColumn<int>("faultCode"); // the control character a port name is refused for; -1: usable
        const QString a80(80, u'a');
        QTest::newRow("device path") << "/dev/ttyUSB0" << "/dev/ttyUSB0" << -1;
        QTest::newRow("Czech name") << "Sériový port" << "Sériový port" << -1;
        QTest::newRow("80 kept") << a80 << a80 << -1;
        QTest::newRow("81 cut") << a80 + "b" << a80 + "…" << -1;
        QTest::newRow("pair at the cut") << QString(79, u'a') + QStringLiteral("😀") << QString(79, u'a') + "…" << -1;
        QTest::newRow("NUL") << QStringView(u"COM\0" "1", 5).toString() << "COM?1" << 0;
        QTest::newRow("tab") << "COM\t1" << "COM?1" << 9;
        QTest::newRow("DEL") << "COM\x7f" << "COM?" << 127;
        QTest::newRow("C1 control") << QStringLiteral("COM\u0085") << "COM?" << 0x85;
        QTest::newRow("long with control") << QString(a80 + "\x01" + a80) << a80 + "…" << 1;
    }

    void excerptsAndPortNames()
    {
        QFETCH(QString, value);
        QFETCH(QString, excerpt);
        QFETCH(int, faultCode);
        QCOMPARE(messageExcerpt(value), excerpt);
        const QString fault = portNameFault(value);
        QCOMPARE(fault.isEmpty(), faultCode < 0);
        if (faultCode >= 0) {
            QVERIFY2(fault.contains(QStringLiteral("„") + excerpt + QStringLiteral("“")), qPrintable(fault));
            QVERIFY2(fault.contains(QStringLiteral("řídicí znak (kód %1)").arg(faultCode)), qPrintable(fault));
        }
    }

    void filesOnDisk()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QDir folder(dir.path());
        QVERIFY(!ProfileFile::load(folder.filePath(QStringLiteral("none.ini"))).exists());
        QVERIFY(!ProfileFile().exists());
        QVERIFY(ProfileFile::fromBytes({}).exists());

        QVERIFY(folder.mkdir(QStringLiteral("Tester.ini"))); // a folder is no settings file
        QVERIFY(!ProfileFile::load(folder.filePath(QStringLiteral("Tester.ini"))).exists());
        QCOMPARE(findSettingsFile(dir.path()), QString());

        QVERIFY(writeFile(folder.filePath(QStringLiteral("tester.ini")), "[Komunikace]\r\nPort=\xc8" "COM7\r\n"));
        QCOMPARE(findSettingsFile(dir.path()), folder.filePath(QStringLiteral("tester.ini")));
        const TesterSettings s = loadTesterSettings(dir.path());
        QVERIFY(s.fileFound);
        QCOMPARE(s.port, QStringLiteral("ČCOM7"));

        QVERIFY(writeFile(folder.filePath(QStringLiteral("TESTER.INI")), "[Komunikace]\nPort=COM8\n"));
        if (folder.entryList(QDir::Files).size() < 2)
            QSKIP("file names here ignore case; both spellings are one file");
        QCOMPARE(findSettingsFile(dir.path()), folder.filePath(QStringLiteral("TESTER.INI")));
        QCOMPARE(loadTesterSettings(dir.path()).port, QStringLiteral("COM8"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
