#include "tuningfixture.h"
#include "livepage/livebox.h"
#include "livepage/markerimage.h"
#include "tuning/spinedit.h"
#include <QSignalSpy>
#include <QTest>

using namespace ParamBlock;

class TestEditing : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TuningFixture> f;
    SpinEdit *spin(const char *name) const { return f->find<SpinEdit>(QString::fromLatin1(name)); }
    QLineEdit *edit(const char *name) const { return f->find<QLineEdit>(QString::fromLatin1(name)); }
    int byte(int index) const { return f->data.paramBlock[std::size_t(index)]; }
    void takeOver(const QByteArray &block) { f->page.display()->takeOverBlock(block); }
    // As a technician types: the text is replaced, the change events follow.
    static void type(QLineEdit *e, const QString &text) { e->setText(text); }

private slots:
    void init() { f = std::make_unique<TuningFixture>(); }
    void cleanup() { f.reset(); }

    void spinEditValueRules()
    {
        SpinEdit s(QStringLiteral("s"), 0, 254);
        QSignalSpy changed(&s, &SpinEdit::changed);
        s.setValue(300);
        QCOMPARE(s.text(), QStringLiteral("254"));
        QCOMPARE(changed.count(), 1);
        s.setValue(254);  // same text: no change event
        QCOMPARE(changed.count(), 1);
        s.setValue(-5);
        QCOMPARE(s.text(), QStringLiteral("0"));

        // Text that is no number reads as the minimum and is reset to it.
        s.editor()->setText(QString());
        QCOMPARE(s.value(), 0);
        QCOMPARE(s.text(), QStringLiteral("0"));

        // A number beyond the limits reads as the limit at once; leaving limits the text too.
        s.editor()->setText(QStringLiteral("999"));
        QCOMPARE(s.value(), 254);
        QCOMPARE(s.text(), QStringLiteral("999"));
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(s.editor(), &out);
        QCOMPARE(s.text(), QStringLiteral("254"));

        // Letters never get into it.
        s.setValue(7);
        QTest::keyClicks(s.editor(), QStringLiteral("x-"));
        QCOMPARE(s.text(), QStringLiteral("7"));
        QTest::keyClick(s.editor(), Qt::Key_Up);
        QCOMPARE(s.value(), 8);
        QTest::keyClick(s.editor(), Qt::Key_Down);
        QTest::keyClick(s.editor(), Qt::Key_Down);
        QCOMPARE(s.value(), 6);
    }

    void stopsPushEachOtherBack()
    {
        QByteArray b = TuningFixture::sampleBlock();
        b[IdleStopMax] = char(120);
        b[IdleStopMin] = char(100);
        takeOver(b);
        QCOMPARE(byte(SetVersion), 3);
        spin("VolDorMax")->setValue(50);
        // Pushed up one step per nested run until it met MIN; only the last run stored it.
        QCOMPARE(spin("VolDorMax")->value(), 100);
        QCOMPARE(byte(IdleStopMax), 100);
        QCOMPARE(byte(SetVersion), 0);
        QCOMPARE(f->label("Verze"), QStringLiteral("Bez verze!"));

        spin("VolDorMin")->setValue(150);
        QCOMPARE(spin("VolDorMin")->value(), 100);
        QCOMPARE(byte(IdleStopMin), 100);

        // Other ranges are not tied to this one.
        spin("MalyDorMax")->setValue(61);
        QCOMPARE(byte(LowPowerStopMax), 61);
        QCOMPARE(spin("VolDorMax")->value(), 100);
    }

    void stopMaxThatCannotReachItsMinKeepsItsByte()
    {
        QByteArray b = TuningFixture::sampleBlock();
        b[FullPowerStopMax] = char(255);
        b[FullPowerStopMin] = char(255);
        takeOver(b);
        QCOMPARE(spin("MaxDorMax")->value(), 254);
        spin("MaxDorMax")->setValue(100);
        QCOMPARE(spin("MaxDorMax")->value(), 254);
        QCOMPARE(byte(FullPowerStopMax), 255);
        QCOMPARE(byte(SetVersion), 0);
    }

    void speedsAndThresholdsGoIntoTheBlock()
    {
        spin("MaxRychMax")->setValue(10);
        QCOMPARE(byte(FullPowerSpeedMax), 246);
        spin("VolRychMin")->setValue(255);
        QCOMPARE(byte(IdleSpeedMin), 1);

        // The first threshold keeps the version, the others drop it.
        takeOver([] { QByteArray b = TuningFixture::sampleBlock(); b[SetVersion] = 7; return b; }());
        spin("TPSVol")->setValue(55);
        QCOMPARE(byte(TpsThreshold1), 55);
        QCOMPARE(byte(SetVersion), 7);
        QCOMPARE(f->label("Verze"), QStringLiteral("Sada 7"));
        QCOMPARE(f->live.tpsMark(0)->x(), 10 + 55 * 600 / 256);
        spin("TPSMaly")->setValue(30);
        QCOMPARE(byte(TpsThreshold2), 30);
        QCOMPARE(byte(SetVersion), 0);
        QCOMPARE(f->label("TpsNastaveni"), QStringLiteral("Podivné TPS hranice"));
        spin("TPSVelky")->setValue(20);
        QCOMPARE(f->label("TpsNastaveni"), QStringLiteral("Klesající TPS"));

        // Editing never talks to the unit.
        QVERIFY(f->port.written.isEmpty());
    }

    void byteTextEditsCheckTheirText()
    {
        type(edit("HraNapLambda"), QStringLiteral("300"));
        QCOMPARE(edit("HraNapLambda")->text(), QStringLiteral("255"));
        QCOMPARE(byte(LambdaThreshold), 255);
        QCOMPARE(f->live.lambdaThresholdMark()->x(), 10 + 10 * 255);
        QCOMPARE(f->prompts.beeps, 0);

        type(edit("CasIgnLambdy"), QStringLiteral("42"));
        QCOMPARE(byte(LambdaIgnoreTime), 42);
        type(edit("CasIgnLambdy"), QString());
        QCOMPARE(edit("CasIgnLambdy")->text(), QStringLiteral("0"));
        QCOMPARE(f->prompts.beeps, 1);
        QCOMPARE(byte(LambdaIgnoreTime), 0);

        type(edit("VychPolMotoru"), QStringLiteral("-"));
        QCOMPARE(edit("VychPolMotoru")->text(), QStringLiteral("0"));
        QCOMPARE(f->prompts.beeps, 2);
        type(edit("VychPolMotoru"), QStringLiteral("-12"));
        QCOMPARE(edit("VychPolMotoru")->text(), QStringLiteral("0"));
        QCOMPARE(f->prompts.beeps, 2);
        type(edit("VychPolMotoru"), QStringLiteral("99999999999999"));
        QCOMPARE(edit("VychPolMotoru")->text(), QStringLiteral("255"));
        QCOMPARE(byte(ServoStartPosition), 255);
        type(edit("VychPolMotoru"), QStringLiteral("0042"));
        QCOMPARE(byte(ServoStartPosition), 42);
        QCOMPARE(byte(SetVersion), 0);
    }

    void showingABlockIsNoEdit()
    {
        QByteArray b = TuningFixture::sampleBlock();
        b[SetVersion] = 5;
        b[IdleStopMax] = 10;           // below its MIN: shown as it is
        b[LowPowerStopMax] = char(255);   // shown as 254
        b[HighPowerSpeedMin] = 0;         // shown as 255
        f->data.tpsRising = true;
        b[TpsFlags] = 0x00;
        takeOver(b);
        QCOMPARE(f->block(), b);
        QCOMPARE(f->label("Verze"), QStringLiteral("Sada 5"));
        QCOMPARE(spin("VolDorMax")->value(), 10);
        QCOMPARE(spin("MalyDorMax")->value(), 254);
        QCOMPARE(spin("VelkyRychMin")->value(), 255);
        QCOMPARE(spin("VolRychMax")->value(), 4);
        QCOMPARE(edit("HraNapLambda")->text(), QStringLiteral("23"));
        QCOMPARE(edit("VychPolMotoru")->text(), QStringLiteral("60"));
        QCOMPARE(f->label("STAVJ"), QStringLiteral("01000001"));
        QCOMPARE(f->label("TPSST"), QStringLiteral("00000000"));
        QCOMPARE(f->label("LAMST"), QStringLiteral("00000110"));
        QCOMPARE(f->label("TpsNastaveni"), QStringLiteral("Stoupající TPS"));
        QVERIFY(!f->data.tpsRising);
        QCOMPARE(f->data.tpsStatus, 0x00u);
        QCOMPARE(f->data.lambdaStatus, 0x06u);
        QCOMPARE(f->prompts.beeps, 0);

        // A block that is no block changes nothing.
        takeOver(QByteArray(34, '\x02'));
        QCOMPARE(f->block(), b);

        // A version byte beyond the named ones.
        b[SetVersion] = char(120);
        takeOver(b);
        QCOMPARE(f->label("Verze"), QStringLiteral("Nedefinováno"));
    }

    void markersFollowTheThresholds()
    {
        QByteArray b = TuningFixture::sampleBlock();
        b[LambdaThreshold] = 30;
        b[TpsThreshold1] = 64;
        b[TpsThreshold2] = char(128);
        b[TpsThreshold3] = char(255);
        takeOver(b);
        LiveBox *box = f->page.liveBox();
        QCOMPARE(f->live.lambdaThresholdMark()->x(), 310);
        QCOMPARE(box->lambdaThresholdMark()->x(), 175);
        QCOMPARE(f->live.tpsMark(0)->x(), 160);
        QCOMPARE(f->live.tpsMark(1)->x(), 310);
        QCOMPARE(f->live.tpsMark(2)->x(), 607);
        QCOMPARE(box->tpsMark(0)->x(), 150);
        QCOMPARE(box->tpsMark(1)->x(), 175);
        QCOMPARE(box->tpsMark(2)->x(), 224);
        const int tops[2] = {f->live.tpsMark(0)->y(), box->tpsMark(0)->y()};

        b[LambdaFlags] = 0x16;  // 0-5 V probe
        takeOver(b);
        QCOMPARE(f->live.lambdaThresholdMark()->x(), 70);
        QCOMPARE(box->lambdaThresholdMark()->x(), 136);
        QCOMPARE(f->live.tpsMark(0)->y(), tops[0]);
        QCOMPARE(box->tpsMark(0)->y(), tops[1]);
    }

    void activeRangeFollowsTheLiveTps()
    {
        // Start-up: everything 0, rising, the idle range red and both stop markers at 10.
        f->page.display()->highlightPowerRange();
        QVERIFY(f->isActive("GroupBox2"));
        QCOMPARE(f->live.positionMaxMark()->x(), 10);
        QCOMPARE(f->live.positionMinMark()->x(), 10);

        QByteArray b = TuningFixture::sampleBlock();  // thresholds 40, 90, 160
        b[FullPowerStopMax] = char(128);
        b[FullPowerStopMin] = char(255);
        takeOver(b);
        const char *boxes[4] = {"GroupBox2", "GroupBox10", "GroupBox11", "GroupBox12"};
        const int expected[][2] = {{40, 0}, {41, 1}, {90, 1}, {91, 2}, {160, 2}, {161, 3}, {0, 0}};
        for (const auto &step : expected) {
            emit f->parts.status.liveValues({0, step[0], 0});
            for (int r = 0; r < 4; ++r)
                QVERIFY2(f->isActive(boxes[r]) == (r == step[1]), qPrintable(QStringLiteral("tps %1 box %2").arg(step[0]).arg(r)));
            if (step[1] == 3) {
                QCOMPARE(f->live.positionMaxMark()->x(), 310);
                QCOMPARE(f->live.positionMinMark()->x(), 607);
            }
        }
        QCOMPARE(f->live.positionMaxMark()->x(), 10 + 90 * 600 / 256);

        // Same range again with other stops: the markers stay where they are.
        b[IdleStopMax] = 10;
        takeOver(b);
        QCOMPARE(f->live.positionMaxMark()->x(), 10 + 90 * 600 / 256);

        // A threshold change moves the range at once.
        emit f->parts.status.liveValues({0, 50, 0});
        spin("TPSVol")->setValue(60);
        QVERIFY(f->isActive("GroupBox2"));
        spin("TPSVol")->setValue(45);
        QVERIFY(f->isActive("GroupBox10"));
    }

    void enterMovesTheFocusAndNeverSaves()
    {
        f->page.show();
        QVERIFY(QTest::qWaitForWindowActive(&f->page));
        const struct { const char *from; const char *to; } chain[] = {
            {"HraNapLambda", "CasIgnLambdy"}, {"CasIgnLambdy", "VychPolMotoru"}, {"VolRychMin", "Button10"},
            {"TPSVol", "Button29"}, {"MaxDorMin", "Button16"}};
        for (const auto &step : chain) {
            QWidget *from = f->find<QWidget>(QString::fromLatin1(step.from));
            from->setFocus();
            QTRY_VERIFY(from->hasFocus() || from->focusProxy()->hasFocus());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QTRY_COMPARE(QApplication::focusWidget(), f->find<QWidget>(QString::fromLatin1(step.to)));
        }
        edit("VychPolMotoru")->setFocus();
        QTRY_VERIFY(edit("VychPolMotoru")->hasFocus());
        QTest::keyClick(edit("VychPolMotoru"), Qt::Key_Enter);
        QTRY_VERIFY(spin("TPSVol")->editor()->hasFocus());
        QVERIFY(f->port.written.isEmpty());

        // Leaving a spin edit limits its text before the "Ulož" it moves to can be pressed.
        spin("TPSVol")->editor()->setText(QStringLiteral("777"));
        QTest::keyClick(spin("TPSVol")->editor(), Qt::Key_Return);
        QCOMPARE(spin("TPSVol")->text(), QStringLiteral("255"));
        QVERIFY(f->port.written.isEmpty());
        // Enter once more presses the focused "Ulož".
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(f->writtenHex().value(0), QStringLiteral("02 B4 40 FF 03"));
    }
};

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
