#include "app/cp1250.h"
#include "app/profilefile.h"
#include "app/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

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
