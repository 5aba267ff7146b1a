#include "app/profilefile.h"
#include "app/profilewriter.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

// Writing the chosen port back into TESTER.INI: only that value changes, byte for byte.
class TestProfileWriter : public QObject
{
    Q_OBJECT
private:
    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    static QByteArray utf16le(const QString &text)
    {
        QByteArray bytes("\xFF\xFE", 2);
        for (const QChar c : text)
            bytes.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        return bytes;
    }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), bytes.size());
    }

private slots:
    void onlyThePortChanges_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QByteArray>("after");
        // Windows-1250: 0xE8 č, 0xD8 Ř, 0xC8 Č.
        QTest::newRow("value replaced, key and blanks kept")
            << QByteArray("; dilna \xE8.1\r\n[Tlacitka]\r\nTl1=Odeslat do \xD8J\r\n[komunikace]\r\n  port =  COM2  \r\nObeznik=250\r\n")
            << "/dev/ttyUSB0"
            << QByteArray("; dilna \xE8.1\r\n[Tlacitka]\r\nTl1=Odeslat do \xD8J\r\n[komunikace]\r\n  port =  /dev/ttyUSB0\r\nObeznik=250\r\n");
        QTest::newRow("comment and second section of that name untouched")
            << QByteArray("[Komunikace]\r\n;Port=COM1\r\nPort=COM2\r\n[Komunikace]\r\nPort=COM3\r\n")
            << "COM4" << QByteArray("[Komunikace]\r\n;Port=COM1\r\nPort=COM4\r\n[Komunikace]\r\nPort=COM3\r\n");
        QTest::newRow("key missing: added after the section's last key")
            << QByteArray("[Komunikace]\r\nObeznik=100\r\n\r\n; dalsi\r\n[Verze]\r\n07=A\r\n")
            << "/dev/ttyS0" << QByteArray("[Komunikace]\r\nObeznik=100\r\nPort=/dev/ttyS0\r\n\r\n; dalsi\r\n[Verze]\r\n07=A\r\n");
        QTest::newRow("LF file stays LF")
            << QByteArray("[Komunikace]\nObeznik=100\n") << "COM1" << QByteArray("[Komunikace]\nObeznik=100\nPort=COM1\n");
        QTest::newRow("section missing, no final line end")
            << QByteArray("[Verze]\r\n07=A") << "COM1" << QByteArray("[Verze]\r\n07=A\r\n[Komunikace]\r\nPort=COM1\r\n");
        QTest::newRow("key is the last line, no final line end")
            << QByteArray("[Komunikace]\r\nPort=COM2") << "COM1" << QByteArray("[Komunikace]\r\nPort=COM1");
        QTest::newRow("empty file") << QByteArray() << "COM1" << QByteArray("[Komunikace]\r\nPort=COM1\r\n");
        QTest::newRow("Czech letter in Windows-1250")
            << QByteArray("[Komunikace]\r\nPort=COM2\r\n") << "/dev/ttyČ" << QByteArray("[Komunikace]\r\nPort=/dev/tty\xC8\r\n");
        QTest::newRow("UTF-8 file stays UTF-8")
            << QByteArray("\xEF\xBB\xBF[Verze]\n07=\xC4\x8D\n[Komunikace]\nPort=COM2\n") << "/dev/ttyČ"
            << QByteArray("\xEF\xBB\xBF[Verze]\n07=\xC4\x8D\n[Komunikace]\nPort=/dev/tty\xC4\x8C\n");
        QTest::newRow("UTF-16 file stays UTF-16")
            << utf16le(QStringLiteral("[Verze]\r\n07=č\r\n[Komunikace]\r\nPort=COM2\r\n")) << "/dev/ttyČ"
            << utf16le(QStringLiteral("[Verze]\r\n07=č\r\n[Komunikace]\r\nPort=/dev/ttyČ\r\n"));
    }
    void onlyThePortChanges()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, port);
        QFETCH(QByteArray, after);
        const ProfileEdit edit = setProfileValue(before, QStringLiteral("Komunikace"), QStringLiteral("Port"), port);
        QVERIFY2(edit.error.isEmpty(), qPrintable(edit.error));
        QCOMPARE(edit.bytes, after);
        // What was written is what the next start reads.
        QCOMPARE(ProfileFile::fromBytes(edit.bytes).value(QStringLiteral("Komunikace"), QStringLiteral("Port"), {}), port);
    }

    void valuesTheFileCannotHoldAreRefused()
    {
        // A line break would smuggle in a key of its own; a CJK letter has no Windows-1250 byte.
        for (const QString &value : {QStringLiteral("COM1\r\nObeznik=1"), QStringLiteral("/dev/tty\u4e00")}) {
            const ProfileEdit edit = setProfileValue("[Komunikace]\r\nPort=COM2\r\n", QStringLiteral("Komunikace"),
                                                     QStringLiteral("Port"), value);
            QVERIFY2(!edit.error.isEmpty(), qPrintable(value));
        }
    }

    void theFileIsReplacedWholeOrNotAtAll()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("TESTER.INI"));
        const QByteArray original("[Tlacitka]\r\nTl1=Poslat\r\n[Komunikace]\r\nPort=COM2\r\nObeznik=250\r\n");
        write(path, original);

        // A file-size limit makes the buffered write fail at the flush: the original must survive.
        rlimit old{};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &old) == 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = 40;
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
        const QString error = saveProfileValue(path, QStringLiteral("Komunikace"), QStringLiteral("Port"),
                                               QStringLiteral("/dev/ttyUSB0"));
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(error.contains(QStringLiteral("nelze uložit")));
        QCOMPARE(readAll(path), original);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("TESTER.INI")});

        QCOMPARE(saveProfileValue(path, QStringLiteral("Komunikace"), QStringLiteral("Port"), QStringLiteral("/dev/ttyUSB0")),
                 QString());
        QCOMPARE(readAll(path), QByteArray("[Tlacitka]\r\nTl1=Poslat\r\n[Komunikace]\r\nPort=/dev/ttyUSB0\r\nObeznik=250\r\n"));

        const QString nowhere = dir.filePath(QStringLiteral("chybi/TESTER.INI"));
        QVERIFY(!saveProfileValue(nowhere, QStringLiteral("Komunikace"), QStringLiteral("Port"), QStringLiteral("COM1")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestProfileWriter)
#include "tst_profilewriter.moc"
