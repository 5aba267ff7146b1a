#pragma once
#include "fakeport.h"
#include "scriptedprompts.h"
#include "app/mainwindow.h"
#include "cfgfiles/configfile.h"
#include "cfgfiles/servicepage.h"
#include "link/unitdata.h"
#include "tuning/paramblock.h"
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// The whole window on a fake port in a fresh working folder, with the page "Servis" in reach.
// The stand-in unit answers a block read with `unitBlock` and, while `answersLevels`, the level read;
// a block or level written to it becomes what it answers.
class ServiceFixture : public QObject
{
protected:
    QTemporaryDir *folder = nullptr;
    FakePort *port = nullptr;
    ScriptedPrompts *prompts = nullptr;
    MainWindow *form = nullptr;
    QByteArray unitBlock, unitLevels = someLevels();
    bool answersLevels = true;

    void startWindow(const QByteArray &settings)
    {
        folder = new QTemporaryDir;
        port = new FakePort;
        prompts = new ScriptedPrompts;
        form = new MainWindow(port, prompts);
        write(folder->filePath(QStringLiteral("TESTER.INI")), settings);
        form->show();
        form->startUp(folder->path());
        prompts->messages.clear();
        unitBlock = set(90);
        answersLevels = true;
        port->onWrite = [this](const QByteArray &frame) {
            if (frame.size() == 34)
                unitBlock = frame;
            else if (frame.size() == 5 && quint8(frame[1]) == 0xB4 && quint8(frame[2]) >= 0xA3 && quint8(frame[2]) <= 0xA6)
                unitLevels[quint8(frame[2]) - 0xA2] = frame[3];
            else if (frame == bytesOf({0x02, 0xFF, 0x03}))
                port->feedSoon(unitBlock, 5);
            else if (frame == bytesOf({0x02, 0xAA, 0x03}) && answersLevels)
                port->feedSoon(unitLevels, 5);
        };
    }
    void stopWindow()
    {
        QVERIFY(!prompts->unexpected);
        QVERIFY2(prompts->files.isEmpty(), "a scripted file dialog was never asked");
        delete form;
        delete prompts;
        delete port;
        delete folder;
    }

    QString dataFile(const QString &name) const { return folder->filePath(QStringLiteral("data/") + name); }
    QString caption(const QString &file) const { return MainWindow::captionPrefix() + QLatin1Char(' ') + file; }
    QByteArray params() const { return form->data()->set().paramBytes(); }
    QByteArray levels() const { return form->data()->set().levelBytes(); }
    QByteArray toolSet() const { return form->data()->set().paramBytes() + form->data()->set().levelBytes(); }
    // A set given as a file holds it.
    static ParameterSet setOf(const QByteArray &fileBytes) { return ConfigFile::parse(fileBytes).set(); }

    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), bytes.size());
    }
    // A set like the simulated unit's factory one, with a chosen idle stop and version.
    static QByteArray set(int stop, int version = 3)
    {
        const int bytes[34] = {1, 0x41, 60, 0x01, 0x10, 20, 23, 0x06, 253, 252, 250, 248, 246, 244, 242, 240,
                               3, 40, 90, 160, 120, 90, 40, 140, 60, 200, 90, 240, 120, 30, 30, 20, 20, 3};
        QByteArray b(34, '\0');
        for (int i = 0; i < 34; ++i)
            b[i] = char(bytes[i]);
        b[ParamBlock::IdleStopMax] = char(stop);
        b[ParamBlock::SetVersion] = char(version);
        return b;
    }
    static QByteArray someParams() { return set(90); }
    static QByteArray someLevels() { return bytesOf({0x03, 12, 70, 15, 90, 1, 2, 3, 4, 0x04}); }

    void save(const QString &path)
    {
        prompts->files << path;
        form->servicePage()->saveButton()->click();
    }
    void load(const QString &path)
    {
        prompts->files << path;
        form->servicePage()->loadButton()->click();
    }
};
