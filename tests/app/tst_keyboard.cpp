#include "fakeport.h"
#include "scriptedprompts.h"
#include "app/form2.h"
#include "tuning/tuningpage.h"
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// The window by keyboard: page shortcuts from inside a field, the keys a field keeps, and the Info
// page that lists the shortcuts and names the buttons.
class TestKeyboard : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<FakePort> port;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<TForm2> form;

    QWidget *focusOn(const QString &name)
    {
        auto *field = form->findChild<QWidget *>(name);
        if (!field)
            qFatal("no control %s", qPrintable(name));
        field->setFocus();
        return field;
    }

private slots:
    void init()
    {
        port = std::make_unique<FakePort>();
        prompts = std::make_unique<ScriptedPrompts>();
        folder = std::make_unique<QTemporaryDir>();
        QFile ini(folder->filePath(QStringLiteral("TESTER.INI")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Komunikace]\r\nObeznik=5000\r\n[Tlacitka]\r\nTl2=Na\xE8ti z jednotky\r\n");  // Windows-1250
        ini.close();
        form = std::make_unique<TForm2>(port.get(), prompts.get());
        form->show();
        form->FormCreate(folder->path());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    void cleanup()
    {
        QVERIFY(!prompts->unexpected);
        form.reset();
    }

    void pageShortcutsWorkWithTheCaretInAField_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("page");
        // A spin edit, a byte edit and the port picker's edit: each would take these keys for itself.
        for (const char *field : {"VolDorMax_text", "VychPolMotoru", "PortPicker"}) {
            QTest::addRow("%s, Ctrl+A", field) << field << QKeySequence(Qt::CTRL | Qt::Key_A) << "TabSheet2";
            QTest::addRow("%s, Ctrl+C", field) << field << QKeySequence(Qt::CTRL | Qt::Key_C) << "data";
            QTest::addRow("%s, Ctrl+E", field) << field << QKeySequence(Qt::CTRL | Qt::Key_E) << "TabSheet4";
        }
    }
    void pageShortcutsWorkWithTheCaretInAField()
    {
        QFETCH(QString, field);
        QFETCH(QKeySequence, keys);
        QFETCH(QString, page);
        QWidget *edit = focusOn(field);
        QTRY_VERIFY(edit->hasFocus());
        QTest::keySequence(QApplication::focusWidget(), keys);
        QCOMPARE(form->pages()->currentWidget()->objectName(), page);
    }

    void ctrlInsertAndShiftInsertStillCopyAndPaste()
    {
        auto *from = static_cast<QLineEdit *>(focusOn(QStringLiteral("VychPolMotoru")));
        QTRY_VERIFY(from->hasFocus());
        QTest::keyClick(from, Qt::Key_End);
        QTest::keyClick(from, Qt::Key_Home, Qt::ShiftModifier);
        QTest::keyClicks(from, QStringLiteral("42"));
        QTest::keyClick(from, Qt::Key_Home, Qt::ShiftModifier);
        QTest::keyClick(from, Qt::Key_Insert, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("42"));

        auto *to = static_cast<QLineEdit *>(focusOn(QStringLiteral("CasIgnLambdy")));
        QTRY_VERIFY(to->hasFocus());
        QTest::keyClick(to, Qt::Key_End);
        QTest::keyClick(to, Qt::Key_Home, Qt::ShiftModifier);
        QTest::keyClick(to, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(to->text(), QStringLiteral("42"));
        QCOMPARE(form->pages()->currentWidget(), static_cast<QWidget *>(form->tuningPage()));
    }

    void theInfoPageListsEveryShortcutAndNamesTheButtons()
    {
        const QString notes = form->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"))->toPlainText();
        QVERIFY(notes.contains(QStringLiteral("po stisku \"Načti z jednotky\" na stránce \"Ladění\"")));
        QVERIFY(notes.contains(QStringLiteral("nezobrazují po \"Odeslat do ŘJ\" hlášení")));
        QVERIFY(notes.contains(QStringLiteral("stiskem tlačítka \"Načtení diagnostiky\" na stránce")));
        QVERIFY(notes.contains(QStringLiteral("\nCtrl+S – stránka \"Servis\" a uložení aktuálního stavu\n")));
        int listed = 0;
        const QList<QAction *> actions = form->actions();
        for (const QAction *action : actions) {
            const QString line = action->shortcut().toString(QKeySequence::NativeText) + QStringLiteral(" – ");
            QVERIFY2(action->shortcut().isEmpty() || notes.contains(QLatin1Char('\n') + line), qPrintable(line));
            listed += action->shortcut().isEmpty() ? 0 : 1;
        }
        QVERIFY(listed >= 8);
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
