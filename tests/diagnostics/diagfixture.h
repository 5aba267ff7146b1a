#pragma once
#include "fakeport.h"
#include "scriptedprompts.h"
#include "diagnostics/diagnosticspage.h"
#include "diagnostics/tachoreading.h"
#include "link/unitdata.h"
#include "link/unitlink.h"
#include "linkwords/linkwords.h"
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// The diagnostics page wired as the main window wires it, on a fake port, on 6 December 2026.
struct DiagFixture
{
    FakePort port;
    ScriptedPrompts prompts;
    UnitData data;
    UnitLink parts{&port, &data};
    LinkTransport &link = parts.transport;
    DiagnosticsPage page;
    QDate today{2026, 12, 6};

    DiagFixture()
    {
        port.open(QStringLiteral("fake"), nullptr);
        link.prepareFrames();
        announceLinkOutcomes(parts);
        page.attach(&parts.diagnostics, &prompts, [this] { return today; });
    }

    template <typename T = QLineEdit> T *find(const char *name) const
    {
        T *w = page.findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QString text(const char *name) const { return find(name)->text(); }
    // The texts of the edits named in `names` (blank-separated), blank-separated.
    QString texts(const QString &names) const
    {
        QStringList out;
        for (const QString &name : names.split(QLatin1Char(' ')))
            out << text(qPrintable(name));
        return out.join(QLatin1Char(' '));
    }
    void click(const char *name) { find<QPushButton>(name)->click(); }
    QLabel *message() const { return find<QLabel>("NacteniDiag"); }

    // 02, the record bytes 1..32 (the rest 0), 03.
    static QByteArray record(std::initializer_list<std::pair<int, int>> bytes = {})
    {
        QByteArray r(34, '\0');
        r[0] = 0x02;
        r[33] = 0x03;
        for (auto [at, value] : bytes)
            r[at] = char(value);
        return r;
    }

    // A stand-in for the unit: answers the record request with `reply` (nothing when empty).
    void answerRecordWith(const QByteArray &reply)
    {
        port.onWrite = [this, reply](const QByteArray &frame) {
            if (frame == bytesOf({0x02, 0x80, 0x03}) && !reply.isEmpty())
                port.feedSoon(reply, 5);
        };
    }

    QStringList writtenHex(int from = 0) const
    {
        QStringList out;
        for (int i = from; i < port.written.size(); ++i)
            out << hex(port.written[i].bytes);
        return out;
    }
};
