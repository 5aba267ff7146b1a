#include "fakeport.h"
#include "scriptedprompts.h"
#include "app/escapereport.h"
#include "app/mainwindow.h"
#include "app/guardedapplication.h"
#include "link/unitdata.h"
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <new>
#include <stdexcept>

namespace {
// The window in `folder` with a set that is not saved anywhere.
void startWithUnsavedSet(MainWindow &form, const QString &folder)
{
    QFile ini(QDir(folder).filePath(QStringLiteral("TESTER.INI")));
    if (ini.open(QIODevice::WriteOnly))
        ini.write("[Komunikace]\r\nPort=fake\r\n");
    ini.close();
    form.show();
    form.startUp(folder);
    form.data()->set().setParamByte(5, 42);
}
QStringList keptSets(const QString &folder)
{
    return QDir(QDir(folder).filePath(QStringLiteral("data/zalohy"))).entryList({QStringLiteral("neulozeno_*.cfg")});
}
constexpr char TerminateFolder[] = "VELKOR_TEST_TERMINATE_IN";
}  // namespace

// An exception that escapes an event handler or goes uncaught: the set is kept as on a stop by the
// system, and where the tool can go on, it says so and goes on.
class TestEscapedExceptions : public QObject
{
    Q_OBJECT
private slots:
    void anExceptionFromAHandlerIsSaidAndTheToolGoesOn_data()
    {
        QTest::addColumn<bool>("outOfMemory");
        QTest::addColumn<QString>("reason");
        QTest::newRow("out of memory") << true << QStringLiteral("nedostatek paměti");
        QTest::newRow("other") << false << QStringLiteral("soubor je poškozen");
    }
    void anExceptionFromAHandlerIsSaidAndTheToolGoesOn()
    {
        QFETCH(bool, outOfMemory);
        QFETCH(QString, reason);
        FakePort port;
        ScriptedPrompts prompts;
        QTemporaryDir folder;
        MainWindow form(&port, &prompts);
        startWithUnsavedSet(form, folder.path());
        EscapeReport report(&form, &prompts);
        auto *app = qobject_cast<GuardedApplication *>(qApp);
        QVERIFY(app);
        app->onEscape([&report](const QString &what) { report.report(what); });

        auto *failing = new QPushButton(QStringLiteral("x"), &form);
        failing->show();
        connect(failing, &QPushButton::clicked, [outOfMemory] {
            if (outOfMemory)
                throw std::bad_alloc();
            throw std::runtime_error("soubor je poškozen");
        });
        QTest::mouseClick(failing, Qt::LeftButton);
        QTRY_COMPARE(prompts.messages.size(), 1);
        const QStringList kept = keptSets(folder.path());
        QCOMPARE(kept.size(), 1);
        QVERIFY2(prompts.messages.first().startsWith(QStringLiteral("Chyba programu: Vnitřní chyba programu: ") + reason),
                 qPrintable(prompts.messages.first()));
        QVERIFY(prompts.messages.first().contains(kept.first()));
        // Told where the set is, the next start has nothing to say about it.
        QVERIFY(!QDir(folder.path()).exists(QStringLiteral("data/zalohy/neulozeno.txt")));

        // Still going: the poll runs, and the next click is heard of too.
        port.written.clear();
        QTRY_VERIFY(!port.written.isEmpty());
        QCOMPARE(hex(port.written.last().bytes), QStringLiteral("02 0F 03"));
        QTest::mouseClick(failing, Qt::LeftButton);
        QTRY_COMPARE(prompts.messages.size(), 2);
        app->onEscape({});
    }

    // Thrown where no event handler runs it, an exception ends the tool, with the set kept first.
    void anUncaughtExceptionKeepsTheSetBeforeTheEnd()
    {
        QTemporaryDir folder;
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QLatin1String(TerminateFolder), folder.path());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QCOMPARE(keptSets(folder.path()).size(), 1);
    }
};

int main(int argc, char **argv)
{
    GuardedApplication app(argc, argv);
    if (const QString folder = qEnvironmentVariable(TerminateFolder); !folder.isEmpty()) {
        FakePort port;
        ScriptedPrompts prompts;
        MainWindow form(&port, &prompts);
        startWithUnsavedSet(form, folder);
        keepOnTerminate([&form] { form.keepUnsavedChanges(); });
        throw std::bad_alloc();
    }
    TestEscapedExceptions test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_escapedexceptions.moc"
