#include "fakeport.h"
#include "scriptedprompts.h"
#include "app/mainwindow.h"
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

// Every number field of the tuning and lambda pages, every step button and every "Ulož" of a
// single value can be found by what it is.
class TestFieldNames : public QObject
{
    Q_OBJECT
private slots:
    void everyControlSaysWhatItIs()
    {
        FakePort port;
        ScriptedPrompts prompts;
        QTemporaryDir folder;
        MainWindow form(&port, &prompts);
        form.startUp(folder.path());
        auto find = [&form](const char *name) { return form.findChild<QWidget *>(QString::fromLatin1(name)); };
        QCOMPARE(find("VolDorMax_text")->toolTip(), QStringLiteral("Volnoběh – doraz serva MAX (0–254)"));
        QCOMPARE(find("TPSMaly")->accessibleName(), QStringLiteral("2. hranice TPS"));
        QCOMPARE(find("HraNapLambda")->toolTip(), QStringLiteral("Hranice lambda (0–255)"));
        QCOMPARE(find("Prom31")->accessibleName(), QStringLiteral("Čas emulace zvýšené – bohatá"));
        QCOMPARE(find("Edit2")->toolTip(), QStringLiteral("Úrovně emulace volnoběh – chudá (0–255)"));
        QCOMPARE(find("Button10")->accessibleName(), QStringLiteral("Ulož – Volnoběh – rychlost DOL"));

        QSet<QString> names;
        int fields = 0;
        for (QWidget *page : {find("TabSheet1"), find("TabSheet4")}) {
            for (QLineEdit *e : page->findChildren<QLineEdit *>()) {
                if (e->isReadOnly())
                    continue;  // the live values
                QVERIFY2(e->toolTip().startsWith(e->accessibleName() + QStringLiteral(" (0–")), qPrintable(e->objectName()));
                names << e->accessibleName();
                ++fields;
            }
        }
        QCOMPARE(fields, 22 + 8);
        QCOMPARE(names.size(), fields);

        QSet<QString> steps;
        const auto buttons = find("TabSheet1")->findChildren<QToolButton *>();
        for (QToolButton *b : buttons) {
            QVERIFY(b->accessibleName() == QStringLiteral("Zvýšit") || b->accessibleName() == QStringLiteral("Snížit"));
            QCOMPARE(b->accessibleDescription(), b->parentWidget()->accessibleName());
            steps << b->accessibleName() + b->accessibleDescription();
        }
        QCOMPARE(buttons.size(), 38);
        QCOMPARE(steps.size(), 38);

        QSet<QString> saves;
        for (QPushButton *b : find("TabSheet1")->findChildren<QPushButton *>())
            if (b->text() == QStringLiteral("Ulož"))
                saves << b->accessibleName();
        QCOMPARE(saves.size(), 19);
    }
};

QTEST_MAIN(TestFieldNames)
#include "tst_fieldnames.moc"
