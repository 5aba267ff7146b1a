#include "e2ewindow.h"
#include "link/statuspoll.h"
#include "link/unitdata.h"
#include "tuning/paramfields.h"
#include "tuning/spinedit.h"
#include "tuning/tuningpage.h"
#include "link/blockread.h"
#include "link/blockwrite.h"
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace ParamBlock;

// The tuning page against the simulated unit on a pseudo-terminal: read, edit, save, write, verify.
class TestTuningEndToEnd : public QObject
{
    Q_OBJECT
private:
    E2EWindow e2e;

    bool startUnit(const QStringList &extra, int pollMs = 250)
    {
        return e2e.startLogged(extra, pollMs, "[Verze]\r\n03=Sada z vyroby\r\n");
    }

    template <typename T> T *find(const QString &name) const { return e2e.find<T>(name); }
    void click(const char *name) { e2e.click(name); }
    QString label(const char *name) const { return e2e.label(name); }
    SpinEdit *spin(const char *name) const { return e2e.find<SpinEdit>(name); }
    E2EWindow::Frames received() const { return e2e.received(); }

    bool shows(const QByteArray &block) const
    {
        for (const ParamFields::SpinField &field : ParamFields::Spins) {
            const quint8 b = quint8(block.at(field.index));
            const int expected = std::min(field.maximum, field.kind == ParamFields::Kind::Speed ? byteToSpeed(b) : int(b));
            if (spin(field.name)->value() != expected)
                return false;
        }
        for (const ParamFields::TextField &field : ParamFields::Texts)
            if (find<QLineEdit>(QString::fromLatin1(field.name))->text() != QString::number(quint8(block.at(field.index))))
                return false;
        return label("STAVJ") == byteToBinary(quint8(block.at(UnitFlags))) && label("TPSST") == byteToBinary(quint8(block.at(TpsFlags)))
            && label("LAMST") == byteToBinary(quint8(block.at(LambdaFlags)));
    }

    QByteArray toolBlock() const { return e2e.data()->set().paramBytes(); }

    void readBlock() { e2e.read(e2e.window()->blockRead(), &BlockRead::blockReceived, 3000); }

private slots:
    void init() { QVERIFY(e2e.folderValid()); }
    void cleanup() { e2e.close(); }

    void readEditSaveWriteVerify()
    {
        QVERIFY(startUnit({}));
        QSignalSpy live(e2e.window()->statusPoll(), &StatusPoll::liveValues);
        QTRY_VERIFY_WITH_TIMEOUT(live.count() >= 2, 3000);

        readBlock();
        const QByteArray factory = toolBlock();
        QCOMPARE(int(factory[TpsThreshold1]), 40);
        QVERIFY(shows(factory));
        QCOMPARE(label("Verze"), QStringLiteral("Sada z vyroby"));
        QCOMPARE(label("TpsNastaveni"), QStringLiteral("Stoupající TPS"));

        // An edited stop saved alone, with the version byte right after it.
        spin("MaxDorMax")->setValue(250);
        QCOMPARE(label("Verze"), QStringLiteral("Bez verze!"));
        const int before = received().size();
        click("Button13");
        QTRY_VERIFY_WITH_TIMEOUT(received().size() >= before + 2, 2000);
        const auto frames = received().mid(before);
        int at = -1;
        for (int i = 0; i + 1 < frames.size(); ++i)
            if (frames[i].second == QStringLiteral("02 B4 4A FA 03"))
                at = i;
        QVERIFY2(at >= 0, "the stop never reached the unit");
        QCOMPARE(frames[at + 1].second, QStringLiteral("02 B4 3F 00 03"));
        // The pause between the two is checked at the sender (tuning/tst_unitframes): the unit's own
        // receive times can run together when the machine is busy and it reads both in one go.

        e2e.prompts()->answers << true;  // a single save is no checked write: the read asks first
        readBlock();
        QCOMPARE(int(quint8(toolBlock()[FullPowerStopMax])), 250);
        QCOMPARE(int(quint8(toolBlock()[SetVersion])), 0);
        QVERIFY(shows(toolBlock()));

        // The whole block with an edit, checked by reading it back.
        spin("VelkyRychMax")->setValue(30);
        QSignalSpy verified(e2e.window()->blockWrite(), &BlockWrite::writeVerified);
        click("Button1");
        QTRY_COMPARE_WITH_TIMEOUT(label("Nacteni"), QStringLiteral("Uloženo do RAM – trvale uloží RAM->EEPROM"), 5000);
        QCOMPARE(verified.count(), 1);
        // The write lives in the unit's RAM and the page says so until RAM->EEPROM has gone.
        auto *ramOnly = find<QLabel>("ZmenyJenVRam");
        QVERIFY(ramOnly->isVisibleTo(ramOnly->parentWidget()));
        const int beforeCommit = received().size();
        click("Button4");
        QTRY_COMPARE_WITH_TIMEOUT(label("Nacteni"), QStringLiteral("Odesláno do EEPROM"), 3000);
        QVERIFY(!ramOnly->isVisibleTo(ramOnly->parentWidget()));
        QTRY_VERIFY_WITH_TIMEOUT([&] {
            for (const auto &frame : received().mid(beforeCommit))
                if (frame.second == QStringLiteral("02 04 03"))
                    return true;
            return false;
        }(), 3000);
        readBlock();
        QCOMPARE(int(quint8(toolBlock()[HighPowerSpeedMax])), 226);

        // The red box follows the live TPS as the throttle sweeps through the ranges.
        const char *boxes[4] = {"GroupBox2", "GroupBox10", "GroupBox11", "GroupBox12"};
        QSet<int> seen;
        QElapsedTimer clock;
        clock.start();
        live.clear();
        while (seen.size() < 3 && clock.elapsed() < 12000) {
            QTRY_VERIFY_WITH_TIMEOUT(!live.isEmpty(), 2000);
            live.clear();
            const UnitData &d = *e2e.data();
            const int tps = e2e.window()->statusPoll()->last().tps;
            const int expected = int(activePowerRange(tps, d.set().tpsRising(), d.set().paramByte(TpsThreshold1), d.set().paramByte(TpsThreshold2),
                                                      d.set().paramByte(TpsThreshold3)));
            for (int r = 0; r < 4; ++r) {
                const bool red = find<QGroupBox>(QString::fromLatin1(boxes[r]))->palette().color(QPalette::Window)
                                 == TuningPage::rangeActiveColor();
                QVERIFY2(red == (r == expected), qPrintable(QStringLiteral("tps %1 box %2").arg(tps).arg(r)));
            }
            seen.insert(expected);
        }
        QVERIFY2(seen.size() >= 3, qPrintable(QString::number(seen.size())));
    }

    void aStopTypedByHandReachesTheUnitAsTyped()
    {
        QVERIFY(startUnit({}));
        QVERIFY(QTest::qWaitForWindowActive(e2e.window()));
        readBlock();
        const int min = quint8(toolBlock()[IdleStopMin]);
        QVERIFY2(min > 15 && min < 150, qPrintable(QString::number(min)));  // "1" and "15" lie below it

        // Click into MAX, select it, type 1, 5, 0; Enter moves to "Ulož", Enter again presses it.
        QLineEdit *max = spin("VolDorMax")->editor();
        max->setFocus();
        QTRY_VERIFY(max->hasFocus());
        max->selectAll();
        const int before = received().size();
        QTest::keyClicks(max, QStringLiteral("150"));
        QTest::keyClick(max, Qt::Key_Return);
        QTRY_COMPARE(QApplication::focusWidget(), find<QWidget>(QStringLiteral("Button7")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(received().size() >= before + 2, 2000);
        QStringList sent;
        for (const auto &frame : received().mid(before))
            if (frame.second.startsWith(QStringLiteral("02 B4")))
                sent << frame.second;
        QCOMPARE(sent, (QStringList{QStringLiteral("02 B4 44 96 03"), QStringLiteral("02 B4 3F 00 03")}));

        e2e.prompts()->answers << true;  // a single save is no checked write: the read asks first
        readBlock();
        QCOMPARE(int(quint8(toolBlock()[IdleStopMax])), 150);
        QCOMPARE(spin("VolDorMax")->text(), QStringLiteral("150"));
    }

    void aUnitThatKeepsAByteWrongFailsTheCheck()
    {
        QVERIFY(startUnit({QStringLiteral("--stuck-byte"), QString::number(int(IdleStopMin))}));
        readBlock();
        click("Button1");
        QTRY_COMPARE_WITH_TIMEOUT(label("Nacteni"), QStringLiteral("Nesprávné uložení!"), 5000);
        QVERIFY(!received().isEmpty());
    }

    // The levels go out with the block, but the unit has stopped answering code 170: the write
    // cannot be called saved.
    void aWriteWhoseLevelsGoUnansweredIsNotCalledSaved()
    {
        QVERIFY(startUnit({QStringLiteral("--levels-answered"), QStringLiteral("1")}));
        readBlock();
        QTRY_VERIFY_WITH_TIMEOUT(e2e.data()->set().levelsValid(), 3000);
        QSignalSpy verified(e2e.window()->blockWrite(), &BlockWrite::writeVerified);
        const int before = received().size();
        click("Button1");
        QTRY_COMPARE_WITH_TIMEOUT(label("Nacteni"), QStringLiteral("Uložení neověřeno!"), 6000);
        QCOMPARE(e2e.label("Nacteni1"), QStringLiteral("Uložení neověřeno!"));
        QCOMPARE(verified.count(), 0);
        const auto frames = e2e.received(before);
        int levelWrite = -1;
        for (int i = 0; i < frames.size() && levelWrite < 0; ++i)
            if (frames[i].second.startsWith(QStringLiteral("02 B4 A3 ")))
                levelWrite = i;
        QVERIFY(levelWrite >= 0);  // the levels were sent, and then asked back
        QVERIFY(E2EWindow::indexOf(frames, QStringLiteral("02 AA 03")) > levelWrite);
    }

    // A stray byte before every second reply and a fast poll: every read clicked at any moment of
    // the poll cycle comes back, the live values go on, and a write ends verified.
    void aNoisyLineLosesNoReadOrWrite()
    {
        QVERIFY(startUnit({QStringLiteral("--stray-every"), QStringLiteral("2")}, 50));
        QSignalSpy live(e2e.window()->statusPoll(), &StatusPoll::liveValues);
        QTRY_VERIFY_WITH_TIMEOUT(live.count() >= 4, 3000);
        for (int i = 0; i < 5; ++i) {
            QTest::qWait(13 * i);
            readBlock();
            QVERIFY(e2e.data()->set().blockValid());
            QVERIFY(shows(toolBlock()));
        }
        live.clear();
        QTRY_VERIFY_WITH_TIMEOUT(live.count() >= 4, 3000);
        spin("VelkyRychMax")->setValue(30);
        click("Button1");
        QTRY_COMPARE_WITH_TIMEOUT(label("Nacteni"), QStringLiteral("Uloženo do RAM – trvale uloží RAM->EEPROM"), 5000);
        QVERIFY(e2e.prompts()->questions.isEmpty());
    }
};

QTEST_MAIN(TestTuningEndToEnd)
#include "tst_tuning_e2e.moc"
