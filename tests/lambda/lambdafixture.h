#pragma once
#include "../tuning/tuningfixture.h"
#include "lambda/emulationlevels.h"
#include "lambda/lambdapage.h"
#include "lambda/lambdastatuseditor.h"
#include <QRadioButton>

// The lambda page beside the tuning page, wired as the main window wires them, on a fake port.
struct LambdaFixture : TuningFixture
{
    LambdaPage lambda{&data, &setup};

    LambdaFixture()
    {
        lambda.attach(&link, &parts.levels, &parts.measurement, &parts.check, &page, &live);
        data.set().markBlockValid();  // the blocks the tests take over stand for blocks read from a unit
        QObject::connect(&link, &LinkTransport::linkMessage, lambda.linkMessageLabel(), &QLabel::setText);
        QStringList texts;
        for (int i = 0; i < 100; ++i)
            texts << QStringLiteral("kód %1").arg(i);
        setup.setMeasurementTexts(texts);
    }

    template <typename T> T *on(const char *name) const
    {
        T *w = lambda.findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QRadioButton *radio(const char *name) const { return on<QRadioButton>(name); }
    QLineEdit *edit(const char *name) const { return on<QLineEdit>(name); }
    void click(const char *name) const { on<QAbstractButton>(name)->click(); }

    // The names of the checked radio buttons, in page order.
    QStringList checked() const
    {
        QStringList out;
        for (QRadioButton *r : lambda.findChildren<QRadioButton *>())
            if (r->isChecked())
                out << r->objectName();
        return out;
    }
    // Which of EmulationTimeIdleRich..EmulationTimeRaisedLean can be edited, as "1100".
    QString timesEnabled() const
    {
        QString out;
        for (const char *name : {"Prom29", "Prom30", "Prom31", "Prom32"})
            out += edit(name)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return out;
    }
    QByteArray blockWith(int lamst, int tpsst) const
    {
        QByteArray b = sampleBlock();
        b[ParamBlock::LambdaFlags] = char(lamst);
        b[ParamBlock::TpsFlags] = char(tpsst);
        return b;
    }
    // A unit's level answer: levels a..d, then the unit's own four bytes.
    static QByteArray levelAnswer(int a, int b, int c, int d, int own = 1)
    {
        return bytesOf({0x03, a, b, c, d, own, own, own, own, 0x04});
    }
};
