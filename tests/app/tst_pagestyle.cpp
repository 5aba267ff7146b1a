#include "fakeport.h"
#include "scriptedprompts.h"
#include "app/mainwindow.h"
#include <QApplication>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

// The page tabs take their look from a style sheet, all ten in one row; the controls on the pages
// keep the application's own style, since a sheet above them sends them all through the slower
// style-sheet painting.
class TestPageStyle : public QObject
{
    Q_OBJECT
private slots:
    void tabsFitInOneRowAndTheControlsKeepThePlainStyle()
    {
        QTemporaryDir folder;
        FakePort port;
        ScriptedPrompts prompts;
        MainWindow form(&port, &prompts);
        form.show();
        form.startUp(folder.path());
        QTabBar *bar = form.pages()->tabBar();
        QCOMPARE(bar->count(), 10);
        for (int i = 0; i < bar->count(); ++i) {
            QCOMPARE(bar->tabRect(i).top(), bar->tabRect(0).top());
            QVERIFY2(bar->tabRect(i).right() < form.pages()->width(), qPrintable(bar->tabText(i)));
        }
        QVERIFY(bar->style() != qApp->style());
        for (const char *name : {"PageControl1", "TabSheet1", "GroupBox1", "MalyDorMax", "TabSheet2", "L2"}) {
            auto *control = form.findChild<QWidget *>(QLatin1String(name));
            QVERIFY2(control && control->style() == qApp->style(), name);
        }
    }
};

QTEST_MAIN(TestPageStyle)
#include "tst_pagestyle.moc"
