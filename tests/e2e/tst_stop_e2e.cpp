#include "e2ewindow.h"
#include "fakeport.h"
#include "tuning/paramblock.h"
#include "tuning/spinedit.h"
#include "tuning/tuningpage.h"
#include <QDir>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QToolButton>
#include <csignal>

namespace {

// The mouse of Qt's VNC platform, the one platform that runs without a display and still takes
// input: just enough of the remote framebuffer protocol (3.3, no authentication) to click.
class RemoteMouse
{
public:
    // The server is up: the program's window is.
    bool connectTo(quint16 port)
    {
        m_socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        if (!m_socket.waitForConnected(5000) || take(12) != "RFB 003.003\n")
            return false;
        m_socket.write("RFB 003.003\n");
        if (take(4) != QByteArray("\0\0\0\1", 4))  // no authentication
            return false;
        m_socket.write("\1", 1);       // shared
        return take(24).size() == 24;  // the screen's size and pixels; its name need not be read
    }
    void click(const QPoint &at)
    {
        for (const quint8 buttons : {0, 1, 0})
            pointer(buttons, at);
        m_socket.waitForBytesWritten(1000);
    }

private:
    QByteArray take(int count)
    {
        QByteArray bytes;
        while (bytes.size() < count && (m_socket.bytesAvailable() > 0 || m_socket.waitForReadyRead(5000)))
            bytes += m_socket.read(count - bytes.size());
        return bytes;
    }
    void pointer(quint8 buttons, const QPoint &at)
    {
        const char event[] = {5, char(buttons), char(at.x() >> 8), char(at.x()), char(at.y() >> 8), char(at.y())};
        m_socket.write(event, sizeof event);
    }

    QTcpSocket m_socket;
};

}  // namespace

// The real program: a technician's change, then the system stops the tool. The change is kept in
// a file, and the next start finds the note about it.
class TestStopEndToEnd : public QObject
{
    Q_OBJECT
private:
    E2EWindow e2e;

private slots:
    void cleanup() { e2e.close(); }

    void aStopKeepsTheUnsavedSet()
    {
        QVERIFY(e2e.unit.start({QStringLiteral("--log"), e2e.logPath()}));
        QVERIFY(e2e.unit.writeSettings(e2e.folder(), 250));

        // Where the controls are: the window's layout is fixed, and the program centres it.
        const QSize screen(800, 600);
        FakePort fakePort;
        ScriptedPrompts fakePrompts;
        MainWindow layout(&fakePort, &fakePrompts);
        layout.show();
        const QPoint origin = QRect(QPoint(0, 0), screen).center() - layout.rect().center();
        auto at = [&](QWidget *w) { return origin + w->mapTo(&layout, w->rect().center()); };
        const QPoint up = at(layout.tuningPage()->spinEdit(ParamBlock::IdleStopMax)->upButton());
        const QPoint save = at(layout.tuningPage()->saveButton(ParamBlock::IdleStopMax));

        QTcpServer probe;  // a free port for the platform's server
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 vncPort = probe.serverPort();
        probe.close();
        QProcess tool;
        QVERIFY(E2EWindow::startProgram(
            tool, e2e.folder(), QStringLiteral("vnc:size=%1x%2:port=%3").arg(screen.width()).arg(screen.height()).arg(vncPort)));
        // Polling: the window is up and started.
        QTRY_VERIFY_WITH_TIMEOUT(E2EWindow::indexOf(e2e.received(), QStringLiteral("02 0F 03")) >= 0, 10000);

        // One step up of the idle MAX stop, then its "Ulož": the unit getting the value shows both
        // clicks were taken. A single save is no checked write: the set is still unsaved.
        RemoteMouse mouse;
        QVERIFY(mouse.connectTo(vncPort));
        mouse.click(up);
        mouse.click(save);
        QTRY_VERIFY_WITH_TIMEOUT(E2EWindow::indexOf(e2e.received(), QStringLiteral("02 B4 44 01 03")) >= 0, 10000);

        ::kill(pid_t(tool.processId()), SIGTERM);
        QVERIFY(tool.waitForFinished(10000));
        QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
        const QDir backups(e2e.filePath(QStringLiteral("data/zalohy")));
        const QStringList kept = backups.entryList({QStringLiteral("neulozeno_*.cfg")});
        QCOMPARE(kept.size(), 1);
        QFile file(backups.filePath(kept.first()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray expected = QByteArray("\x01") + QByteArray(32, '\0') + "\x03\x03" + QByteArray(9, '\xFF');
        expected[ParamBlock::IdleStopMax] = 1;
        QCOMPARE(hex(file.readAll()), hex(expected));

        // The next start says where it is (the note is taken); nothing new is unsaved then.
        QVERIFY(backups.exists(QStringLiteral("neulozeno.txt")));
        QProcess next;
        QVERIFY(E2EWindow::startProgram(next, e2e.folder()));
        QTRY_VERIFY_WITH_TIMEOUT(!backups.exists(QStringLiteral("neulozeno.txt")), 10000);
        ::kill(pid_t(next.processId()), SIGTERM);
        QVERIFY(next.waitForFinished(10000));
        QCOMPARE(next.exitStatus(), QProcess::NormalExit);
        QCOMPARE(backups.entryList({QStringLiteral("neulozeno_*.cfg")}), kept);
    }
};

QTEST_MAIN(TestStopEndToEnd)
#include "tst_stop_e2e.moc"
