#include "fakeport.h"
#include "scriptedprompts.h"
#include "simulatedunit.h"
#include "app/form2.h"
#include "cfgfiles/servicepage.h"
#include "link/comport.h"
#include "link/unitdata.h"
#include "link/unitlink.h"
#include "tuning/paramblock.h"
#include "tuning/spinedit.h"
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <memory>

using namespace ParamBlock;

// A set read from the simulated unit, saved (by hand or as the backup of the read), edited and
// written, then loaded and written back: the unit holds the first set again.
class TestConfigFilesEndToEnd : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> dir;  // one per test: backups of one run must not meet the next
    SimulatedUnit unit;
    std::unique_ptr<ComPort> port;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<TForm2> window;

    template <typename T> T *find(const char *name) const
    {
        T *w = window->findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QByteArray toolSet() const
    {
        const UnitData *d = window->data();
        return QByteArray(reinterpret_cast<const char *>(d->paramBlock.data()), 34)
               + QByteArray(reinterpret_cast<const char *>(d->levelBlock.data()), 10);
    }
    void readUnit()
    {
        QSignalSpy levels(window->link(), &UnitLink::levelsReceived);
        find<QPushButton>("Button2")->click();
        QTRY_COMPARE_WITH_TIMEOUT(levels.count(), 1, 4000);
        QTRY_COMPARE_WITH_TIMEOUT(window->link()->linkState(), 0, 3000);
    }
    void writeUnit()
    {
        // The label keeps the text of an earlier write: only a new "Uložení OK" tells this one ended.
        find<QLabel>("Nacteni")->clear();
        find<QPushButton>("Button1")->click();
        QTRY_COMPARE_WITH_TIMEOUT(find<QLabel>("Nacteni")->text(), QStringLiteral("Uložení OK"), 6000);
        QTRY_COMPARE_WITH_TIMEOUT(window->link()->linkState(), 0, 3000);
    }

    void start()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        QVERIFY(unit.start());
        QVERIFY(unit.writeSettings(dir->path(), 250));
        port = std::make_unique<ComPort>();
        prompts = std::make_unique<ScriptedPrompts>();
        window = std::make_unique<TForm2>(port.get(), prompts.get());
        window->show();
        window->FormCreate(dir->path());
        QVERIFY(port->isOpen());
    }
    void editAndWrite(const QByteArray &first)
    {
        find<SpinEdit>("VolDorMax")->setValue(quint8(first[VolDorMax]) == 200 ? 201 : 200);
        find<SpinEdit>("MaxDorMin")->setValue(quint8(first[MaxDorMin]) == 5 ? 6 : 5);
        writeUnit();
        readUnit();
        QVERIFY(toolSet() != first);
    }

private slots:
    void cleanup()
    {
        window.reset();
        port.reset();
        unit.stop();
    }

    void aSavedSetGoesBackIntoTheUnit()
    {
        start();
        readUnit();
        const QByteArray first = toolSet();
        const QString file = dir->filePath(QStringLiteral("data/z-auta.cfg"));
        prompts->files << file;
        window->servicePage()->saveButton()->click();
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(hex(saved.readAll()), hex(first));

        editAndWrite(first);

        prompts->files << file;
        window->servicePage()->loadButton()->click();
        QCOMPARE(hex(toolSet()), hex(first));
        writeUnit();
        window->data()->resetBlocks();
        readUnit();
        QCOMPARE(hex(toolSet()), hex(first));
        QVERIFY2(prompts->messages.isEmpty(), qPrintable(prompts->messages.join(QLatin1Char('|'))));
    }

    // The unit's first set comes back from the backup its read left, with no save by hand.
    void theBackupOfAReadRestoresTheUnit()
    {
        start();
        readUnit();
        const QByteArray first = toolSet();
        QTreeWidget *backups = window->servicePage()->backupList();
        QCOMPARE(backups->topLevelItemCount(), 1);
        editAndWrite(first);
        QCOMPARE(backups->topLevelItemCount(), 2);

        backups->setCurrentItem(backups->topLevelItem(1));  // the older one
        window->servicePage()->loadBackupButton()->click();
        QCOMPARE(hex(toolSet()), hex(first));
        writeUnit();
        window->data()->resetBlocks();
        readUnit();
        QCOMPARE(hex(toolSet()), hex(first));
        QVERIFY2(prompts->messages.isEmpty(), qPrintable(prompts->messages.join(QLatin1Char('|'))));
    }
};

QTEST_MAIN(TestConfigFilesEndToEnd)
#include "tst_cfgfiles_e2e.moc"
