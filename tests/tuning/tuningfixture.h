#pragma once
#include "fakeport.h"
#include "scriptedprompts.h"
#include "livepage/livevaluespage.h"
#include "link/unitdata.h"
#include "link/unitlink.h"
#include "linkwords/linkwords.h"
#include "toolsetup/toolsetup.h"
#include "tuning/blockdisplay.h"
#include "tuning/paramblock.h"
#include "tuning/tuningpage.h"
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

// The tuning page wired as the main window wires it, on a fake port.
struct TuningFixture
{
    FakePort port;
    ScriptedPrompts prompts;
    UnitData data;
    UnitLink parts{&port, &data};
    LinkTransport &link = parts.transport;
    LiveValuesPage live{&data};
    ToolSetup setup;
    TuningPage page{&data, &setup};

    TuningFixture()
    {
        port.open(QStringLiteral("fake"), nullptr);
        link.prepareFrames();
        announceLinkOutcomes(parts);
        setup.nameVersion(0, QStringLiteral("Bez verze!"));
        for (int i = 1; i < ToolSetup::VersionNameCount; ++i)
            setup.nameVersion(i, QStringLiteral("Sada %1").arg(i));
        page.attach(&parts.commands, &parts.blockRead, &parts.blockWrite, &parts.check, &prompts, &live);
        QObject::connect(&parts.blockRead, &BlockRead::blockReceived, page.display(), &BlockDisplay::takeOverBlock);
        QObject::connect(&parts.status, &StatusPoll::liveValues, page.display(), &BlockDisplay::followLiveValues);
        QObject::connect(&link, &LinkTransport::linkMessage, &page, &TuningPage::showLinkMessage);
        QObject::connect(&link, &LinkTransport::linkMessageHidden, &page, &TuningPage::hideLinkMessage);
    }

    template <typename T> T *find(const QString &name) const
    {
        T *w = page.findChild<T *>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    QString label(const QString &name) const { return find<QLabel>(name)->text(); }
    bool isActive(const char *box) const
    {
        return find<QGroupBox>(QString::fromLatin1(box))->palette().color(QPalette::Window) == TuningPage::rangeActiveColor();
    }

    // The factory block of the simulated unit, close enough for the page's needs.
    static QByteArray sampleBlock()
    {
        QByteArray b(ParamBlock::Size, '\0');
        const int bytes[ParamBlock::Size] = {1, 0x41, 60, 0x01, 0x10, 20, 23, 0x06, 253, 252, 250, 248, 246, 244, 242, 240,
                                             3, 40, 90, 160, 120, 90, 40, 140, 60, 200, 90, 240, 120, 30, 30, 20, 20, 3};
        for (int i = 0; i < ParamBlock::Size; ++i)
            b[i] = char(bytes[i]);
        return b;
    }
    QByteArray block() const { return data.set().paramBytes(); }

    QStringList writtenHex(int from = 0) const
    {
        QStringList out;
        for (int i = from; i < port.written.size(); ++i)
            out << hex(port.written[i].bytes);
        return out;
    }
};
