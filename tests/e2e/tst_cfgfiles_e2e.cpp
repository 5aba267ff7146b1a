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
#include <memory>

using namespace ParamBlock;

// A set read from the simulated unit, saved, edited and written, then loaded and written back:
// the unit holds the saved set again.
class TestConfigFilesEndToEnd : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir dir;
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
        find<QPushButton>("Button1")->click();
        QTRY_COMPARE_WITH_TIMEOUT(find<QLabel>("Nacteni")->text(), QStringLiteral("Uložení OK"), 6000);
        QTRY_COMPARE_WITH_TIMEOUT(window->link()->linkState(), 0, 3000);
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
        QVERIFY(dir.isValid());
        QVERIFY(unit.start());
        QVERIFY(unit.writeSettings(dir.path(), 250));
        port = std::make_unique<ComPort>();
        prompts = std::make_unique<ScriptedPrompts>();
        window = std::make_unique<TForm2>(port.get(), prompts.get());
        window->show();
        window->FormCreate(dir.path());
        QVERIFY(port->isOpen());

        readUnit();
        const QByteArray first = toolSet();
        const QString file = dir.filePath(QStringLiteral("data/z-auta.cfg"));
        prompts->files << file;
        window->servicePage()->saveButton()->click();
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(hex(saved.readAll()), hex(first));

        find<SpinEdit>("VolDorMax")->setValue(quint8(first[VolDorMax]) == 200 ? 201 : 200);
        find<SpinEdit>("MaxDorMin")->setValue(quint8(first[MaxDorMin]) == 5 ? 6 : 5);
        writeUnit();
        readUnit();
        QVERIFY(toolSet() != first);

        prompts->files << file;
        window->servicePage()->loadButton()->click();
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
