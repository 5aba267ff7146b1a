#include "tuningfixture.h"
#include "tuning/paramfields.h"
#include "tuning/spinedit.h"
#include <QSignalSpy>
#include <QToolButton>
#include <QTest>

using namespace ParamBlock;
using ParamFields::SpinField;

// A technician types into the servo stops key by key and then commits in one of the ways the page
// offers; the stop rule waits for the whole number.
class TestTyping : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TuningFixture> f;
    SpinEdit *spin(const char *name) const { return f->find<SpinEdit>(QString::fromLatin1(name)); }
    int byte(int index) const { return f->data.set().paramByte(index); }

    // Clicks into the field, selects its text and types; '<' is a Backspace.
    void typeInto(SpinEdit *s, const QString &keys)
    {
        s->editor()->setFocus();
        QTRY_VERIFY(s->editor()->hasFocus());
        s->editor()->selectAll();
        for (QChar c : keys) {
            if (c == QLatin1Char('<'))
                QTest::keyClick(s->editor(), Qt::Key_Backspace);
            else
                QTest::keyClicks(s->editor(), QString(c));
        }
    }

private slots:
    void init()
    {
        f = std::make_unique<TuningFixture>();
        QByteArray b = TuningFixture::sampleBlock();
        b[IdleStopMax] = char(120);
        b[IdleStopMin] = char(60);
        b[SetVersion] = 4;
        f->page.display()->takeOverBlock(b);
        f->page.show();
        QVERIFY(QTest::qWaitForWindowActive(&f->page));
    }
    void cleanup() { f.reset(); }

    void typedStopIsCommitted_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("commit");
        QTest::addColumn<QString>("text");    // after the commit
        QTest::addColumn<int>("pushes");      // nested changes the commit made
        // MIN is 60, MAX 120.
        QTest::newRow("above MIN, Enter") << "VolDorMax" << "150" << "enter" << "150" << 0;
        QTest::newRow("above MIN, Tab") << "VolDorMax" << "150" << "tab" << "150" << 0;
        QTest::newRow("above MIN, Ulož") << "VolDorMax" << "150" << "save" << "150" << 0;
        QTest::newRow("at MIN, Enter") << "VolDorMax" << "60" << "enter" << "60" << 0;
        QTest::newRow("below MIN, Enter") << "VolDorMax" << "1" << "enter" << "60" << 59;
        QTest::newRow("below MIN, Tab") << "VolDorMax" << "50" << "tab" << "60" << 10;
        QTest::newRow("below MIN, Ulož") << "VolDorMax" << "7" << "save" << "60" << 53;
        QTest::newRow("below MIN, step up") << "VolDorMax" << "1" << "up" << "60" << 59;
        QTest::newRow("above MIN, step down") << "VolDorMax" << "150" << "down" << "149" << 1;
        QTest::newRow("above MIN, arrow key") << "VolDorMax" << "150" << "arrow" << "151" << 1;
        QTest::newRow("beyond its limit") << "VolDorMax" << "300" << "enter" << "254" << 1;
        QTest::newRow("emptied and retyped") << "VolDorMax" << "<<150" << "enter" << "150" << 0;
        QTest::newRow("emptied only") << "VolDorMax" << "<" << "tab" << "60" << 61;
        QTest::newRow("MIN above MAX") << "VolDorMin" << "150" << "enter" << "120" << 30;
        QTest::newRow("MIN below MAX") << "VolDorMin" << "95" << "tab" << "95" << 0;
    }
    void typedStopIsCommitted()
    {
        QFETCH(QString, field);
        QFETCH(QString, keys);
        QFETCH(QString, commit);
        SpinEdit *s = spin(field.toLatin1().constData());
        const SpinField *sf = ParamFields::spinField(field.toLatin1().constData());

        typeInto(s, keys);
        // While typing, the field holds what is typed, and nothing is pushed.
        QCOMPARE(s->text(), keys.mid(keys.lastIndexOf(QLatin1Char('<')) + 1));
        QCOMPARE(byte(SetVersion), 0);

        QSignalSpy changes(s, &SpinEdit::changed);
        if (commit == QLatin1String("save"))
            f->page.saveButton(sf->index)->click();  // as a shortcut would: the field keeps the focus
        else if (commit == QLatin1String("up") || commit == QLatin1String("down"))
            QTest::mouseClick(commit == QLatin1String("up") ? s->upButton() : s->downButton(), Qt::LeftButton);
        else
            QTest::keyClick(s->editor(), commit == QLatin1String("enter") ? Qt::Key_Return
                                         : commit == QLatin1String("tab") ? Qt::Key_Tab : Qt::Key_Up);

        QTEST(s->text(), "text");
        QTEST(int(changes.count()), "pushes");
        const int value = s->text().toInt();
        QCOMPARE(byte(sf->index), value);
        QVERIFY(byte(IdleStopMax) >= byte(IdleStopMin));

        // Whatever commit it was, "Ulož" sends the committed value, then the version byte.
        if (commit != QLatin1String("save"))
            f->page.saveButton(sf->index)->click();
        const QByteArray frame{"\x02\xB4", 2};
        QTRY_COMPARE(f->writtenHex().mid(0, 2), (QStringList{hex(frame + char(unitAddress(sf->index)) + char(value) + '\x03'),
                                                   QStringLiteral("02 B4 3F 00 03")}));
    }

    void aBlockShownWhileTypingIsNoEdit()
    {
        typeInto(spin("VolDorMax"), QStringLiteral("1"));
        QByteArray b = TuningFixture::sampleBlock();
        b[SetVersion] = 9;
        f->page.display()->takeOverBlock(b);
        QTest::keyClick(spin("VolDorMax")->editor(), Qt::Key_Tab);
        QCOMPARE(byte(SetVersion), 9);
        QCOMPARE(f->block(), b);
    }
};

QTEST_MAIN(TestTyping)
#include "tst_typing.moc"
