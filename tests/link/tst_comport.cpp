#include "link/comport.h"
#include "linkwords/portwords.h"
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <cerrno>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

// The real port against a pseudo-terminal, whose master side plays the unit.
class TestComPort : public QObject
{
    Q_OBJECT
private:
    int master = -1;
    QString slavePath;

    void writeMaster(const QByteArray &bytes) { QCOMPARE(::write(master, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size())); }

private slots:
    void init()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(master >= 0);
        QVERIFY(::grantpt(master) == 0 && ::unlockpt(master) == 0);
        slavePath = QString::fromLocal8Bit(::ptsname(master));
        termios raw{};
        ::tcgetattr(master, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(master, TCSANOW, &raw);
    }
    void cleanup()
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }

    // Reads take what has come and never wait; the rest of a frame comes with the next
    // notification. A write hands the frame over and returns at once.
    void readAndWriteNeverWait()
    {
        ComPort port;
        EComPort error;
        QVERIFY2(port.open(slavePath, &error), qPrintable(portErrorText(error)));
        port.setDtr(true);  // a pseudo-terminal has no modem lines: not an error
        QByteArray got;
        connect(&port, &SerialIo::rxChar, this, [&](int count) {
            QVERIFY(count > 0);
            QElapsedTimer clock;
            clock.start();
            got += port.read(64);
            QVERIFY(clock.elapsed() < 150);
        });
        writeMaster(QByteArray("\x02\x10\x20", 3));
        QTRY_COMPARE(got.size(), 3);
        QTest::qWait(60);
        writeMaster(QByteArray("\x30\x00\x03", 3));
        QTRY_COMPARE(got.toHex(), QByteArray("021020300003"));

        QElapsedTimer clock;
        clock.start();
        QCOMPARE(port.write(QByteArray(34, '\x01')), 34);
        QVERIFY2(clock.elapsed() < 150, qPrintable(QString::number(clock.elapsed())));
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
        QByteArray sent;
        QTRY_VERIFY([&] {
            char buf[64];
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n > 0)
                sent.append(buf, int(n));
            return sent.size() >= 34;
        }());
        QCOMPARE(sent, QByteArray(34, '\x01'));
    }

    void clearBufferDropsWhatIsWaiting()
    {
        ComPort port;
        QVERIFY(port.open(slavePath, nullptr));
        writeMaster(QByteArray("\x55\x56", 2));
        QTest::qWait(50);
        port.clearBuffer(true, false);
        QSignalSpy rx(&port, &SerialIo::rxChar);
        writeMaster(QByteArray("\x02", 1));
        QTRY_VERIFY(rx.count() >= 1);
        QCOMPARE(port.read(8), QByteArray("\x02", 1));
    }

    // While the rest of a frame is awaited, its bytes are told of no sooner than they can all have
    // come at line speed, together; a frame cut short is told of all the same, nothing is lost.
    void awaitedBytesAreToldOfOnceTheyCanAllHaveCome()
    {
        ComPort port;
        QVERIFY(port.open(slavePath, nullptr));
        QByteArray got;
        connect(&port, &SerialIo::rxChar, this, [&] { got += port.read(64); });
        writeMaster(QByteArray("\x02", 1));
        QTRY_COMPARE(got.size(), 1);
        QElapsedTimer clock;
        clock.start();
        port.awaitBytes(75);  // 78 ms at 9600 baud
        writeMaster(QByteArray("\x10\x20", 2));
        QTest::qWait(10);
        writeMaster(QByteArray("\x30", 1));
        QTRY_COMPARE_WITH_TIMEOUT(got.size(), 4, 3000);
        QVERIFY2(clock.elapsed() >= 78, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(got, QByteArray("\x02\x10\x20\x30", 4));
        // The hold is over: the next byte is told of as it comes.
        writeMaster(QByteArray("\x03", 1));
        QTRY_COMPARE(got.size(), 5);
    }

    void missingDeviceGivesTheOpenError()
    {
        ComPort port;
        EComPort error;
        QVERIFY(!port.open(QStringLiteral("/dev/velkor-no-such-port"), &error));
        QCOMPARE(error.code, 1);
        QCOMPARE(error.reason, EComPort::Missing);
        QCOMPARE(portErrorText(error), QStringLiteral("Port /dev/velkor-no-such-port nebyl nalezen: zkontrolujte kabel a "
                                                 "převodník, případně vyberte jiný port v dolní liště okna."));
        QVERIFY(!port.isOpen());
        QCOMPARE(port.write("x"), 0);
        QVERIFY(port.read(3).isEmpty());
    }

    void reasonsTellWhatToDo_data()
    {
        QTest::addColumn<int>("systemError");
        QTest::addColumn<QString>("advice");
        QTest::newRow("missing") << ENOENT << "zkontrolujte kabel";
        QTest::newRow("busy") << EBUSY << "obsazen jiným programem";
        QTest::newRow("no permission") << EACCES << "skupině dialout. Spusťte\nsudo adduser ";
        QTest::newRow("other") << EIO << "nelze otevřít (chyba systému 5)";
    }
    void reasonsTellWhatToDo()
    {
        QFETCH(int, systemError);
        QFETCH(QString, advice);
        EComPort error;
        error.port = QStringLiteral("/dev/ttyUSB0");
        error.code = EComPort::OpenFailed;
        error.systemError = systemError;
        error.reason = EComPort::reasonFor(systemError);
        QVERIFY2(portErrorText(error).contains(advice), qPrintable(portErrorText(error)));
        QVERIFY(portErrorText(error).contains(QStringLiteral("/dev/ttyUSB0")));
    }

    void aPortInUseIsCalledBusy()
    {
        ComPort first, second;
        QVERIFY(first.open(slavePath, nullptr));
        EComPort error;
        QVERIFY(!second.open(slavePath, &error));
        QCOMPARE(error.code, 1);
        QCOMPARE(error.reason, EComPort::Busy);
        QVERIFY2(portErrorText(error).contains(QStringLiteral("obsazen jiným programem")), qPrintable(portErrorText(error)));
        QVERIFY(first.isOpen());
    }

    void aLineThatCannotTakeMoreIsBusyNotLost()
    {
        ComPort port;
        QVERIFY(port.open(slavePath, nullptr));
        QSignalSpy lost(&port, &SerialIo::deviceLost);
        // Nobody reads the other end: the driver's buffer fills and writes cannot finish at once,
        // as on a 9600-baud line given frames faster than it carries them.
        const QByteArray frame(1024, 'x');
        qint64 accepted = 0;
        for (int i = 0; i < 256 && lost.isEmpty(); ++i)
            accepted += port.write(frame);
        QTest::qWait(100);
        QCOMPARE(lost.count(), 0);
        QVERIFY(port.isOpen());
        QCOMPARE(accepted, qint64(256 * 1024));
        // Once the other end reads, every byte arrives.
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
        qint64 arrived = 0;
        QElapsedTimer clock;
        clock.start();
        while (arrived < accepted && clock.elapsed() < 10000) {
            char buffer[4096];
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n > 0)
                arrived += n;
            else
                QTest::qWait(5);
        }
        QCOMPARE(arrived, accepted);
        QCOMPARE(lost.count(), 0);
    }

    void closeOnAClosedPortSaysNothing()
    {
        ComPort port;
        QSignalSpy closed(&port, &SerialIo::afterClose);
        port.close();
        QCOMPARE(closed.count(), 0);
        QVERIFY(port.open(slavePath, nullptr));
        port.close();
        port.close();
        QCOMPARE(closed.count(), 1);
    }

    void lostPeerIsReportedOnceAndThePortCloses()
    {
        ComPort port;
        QVERIFY(port.open(slavePath, nullptr));
        QSignalSpy lost(&port, &SerialIo::deviceLost);
        QSignalSpy closed(&port, &SerialIo::afterClose);
        ::close(master);
        master = -1;
        QTRY_VERIFY_WITH_TIMEOUT(lost.count() >= 1, 3000);
        QTest::qWait(200);
        QCOMPARE(lost.count(), 1);
        QCOMPARE(closed.count(), 1);
        QVERIFY(!port.isOpen());
        QCOMPARE(port.write(QByteArray("\x02\x0F\x03", 3)), 0);
    }
};

QTEST_GUILESS_MAIN(TestComPort)
#include "tst_comport.moc"
