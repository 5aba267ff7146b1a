#include "fakeport.h"
#include "scriptedprompts.h"
#include "app/mainwindow.h"
#include "tuning/tuningpage.h"
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

// The window by keyboard: page shortcuts with the caret in a field, the keys a field keeps, and
// the Info page that lists the shortcuts and names the buttons.
class TestKeyboard : public QObject
{
    Q_OBJECT
private:
    FakePort port;
    ScriptedPrompts prompts;
    QTemporaryDir folder;
    MainWindow *form = nullptr;

    QLineEdit *focusOn(const char *name)
    {
        form->showPage(form->tuningPage());
        auto *field = form->findChild<QWidget *>(QLatin1String(name));
        field->setFocus();
        return QTest::qWaitFor([field] { return field->hasFocus(); }) ? qobject_cast<QLineEdit *>(field) : nullptr;
    }

private slots:
    void initTestCase()
    {
        QFile ini(folder.filePath(QStringLiteral("TESTER.INI")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Komunikace]\r\nObeznik=5000\r\n[Tlacitka]\r\nTl2=Na\xE8ti z jednotky\r\n");  // Windows-1250
        ini.close();
        form = new MainWindow(&port, &prompts);
        form->show();
        form->startUp(folder.path());
        QVERIFY(QTest::qWaitForWindowActive(form));
    }
    void cleanupTestCase() { delete form; }

    void pageShortcutsWorkWithTheCaretInAField_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("page");
        // A spin edit, a byte edit and the port picker: each would take these keys for itself.
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
        focusOn(qPrintable(field));
        QVERIFY(QApplication::focusWidget()->window() == form);
        QTest::keySequence(QApplication::focusWidget(), keys);
        QCOMPARE(form->pages()->currentWidget()->objectName(), page);
    }

    void ctrlInsertAndShiftInsertStillCopyAndPaste()
    {
        QLineEdit *from = focusOn("VychPolMotoru");
        QVERIFY(from);
        from->selectAll();
        QTest::keyClicks(from, QStringLiteral("42"));
        from->selectAll();
        QTest::keyClick(from, Qt::Key_Insert, Qt::ControlModifier);
        QLineEdit *to = focusOn("CasIgnLambdy");
        QVERIFY(to);
        to->selectAll();
        QTest::keyClick(to, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(to->text(), QStringLiteral("42"));
        QCOMPARE(form->pages()->currentWidget(), static_cast<QWidget *>(form->tuningPage()));
    }

    void theInfoPageListsEveryShortcutAndNamesTheButtons()
    {
        const QString notes = form->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"))->toPlainText();
        QVERIFY(notes.contains(QStringLiteral("po stisku \"Načti z jednotky\" na stránce \"Ladění\"")));
        QVERIFY(notes.contains(QStringLiteral("po \"Odeslat do ŘJ\" ověří program jen parametry")));
        QVERIFY(notes.contains(QStringLiteral("\nCtrl+S – stránka \"Servis\" a uložení aktuálního stavu\n")));
        int listed = 0;
        for (const QAction *action : form->actions()) {
            const QString line = QLatin1Char('\n') + action->shortcut().toString(QKeySequence::NativeText) + QStringLiteral(" – ");
            QVERIFY2(action->shortcut().isEmpty() || notes.contains(line), qPrintable(line));
            listed += action->shortcut().isEmpty() ? 0 : 1;
        }
        QVERIFY(listed >= 8);
    }

    void theInfoPageListsTheShortcutsInTheirOwnOrder()
    {
        const QString notes = form->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"))->toPlainText();
        const QString heading = QStringLiteral("\nKlávesové zkratky:\n");
        QVERIFY(notes.contains(heading));
        const QStringList lines = notes.mid(notes.indexOf(heading) + heading.size()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines, (QStringList{
                            QStringLiteral("Ctrl+L – stránka \"Ladění\""),
                            QStringLiteral("Ctrl+A – stránka \"Aktualní\""),
                            QStringLiteral("Ctrl+S – stránka \"Servis\" a uložení aktuálního stavu"),
                            QStringLiteral("Ctrl+E – stránka \"Editace Lambda status\""),
                            QStringLiteral("Ctrl+P – stránka \"Palubní diagnostika\""),
                            QStringLiteral("Ctrl+C – stránka \"Cut-off\""),
                            QStringLiteral("F1 – stránka \"Info - F1\""),
                            QStringLiteral("Ctrl+O – stránka \"Oscil\""),
                            QStringLiteral("Ctrl+G – stránka \"Záznamy\""),
                            QStringLiteral("Ctrl+H – stránka \"Historie\""),
                            QStringLiteral("Ctrl+T – stránka \"Palubní diagnostika\" a servisní protokol"),
                            QStringLiteral("Ctrl+R – spuštění a zastavení záznamu živých hodnot"),
                            QStringLiteral("F2 – značka do záznamu živých hodnot"),
                        }));
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
