#include "blockdisplay.h"
#include "toolsetup/toolsetup.h"
#include "paramfields.h"
#include "spinedit.h"
#include "tuningpage.h"
#include "livepage/livebox.h"
#include "livepage/livevaluespage.h"
#include "livepage/markerimage.h"
#include "link/livevalues.h"
#include "link/unitdata.h"
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <memory>
#include <vector>

using namespace ParamBlock;

BlockDisplay::BlockDisplay(UnitData *data, const ToolSetup *setup, TuningPage *page, LiveValuesPage *livePage,
                           QObject *parent)
    : QObject(parent), m_data(data), m_setup(setup), m_page(page), m_live(livePage)
{
}

void BlockDisplay::takeOverBlock(const QByteArray &block)
{
    // Anything but a framed block would leave the tool with a block the unit cannot take back.
    if (!UnitData::isParamBlock(block))
        return;
    for (int i = 0; i < Size; ++i)
        m_data->paramBlock[std::size_t(i)] = quint8(block.at(i));
    m_data->tpsRising = testBit(m_data->paramBlock[TpsFlags], TpsRisingBit);
    showParamBlock();
    highlightPowerRange();
    emit blockTakenOver();
}

void BlockDisplay::showParamBlock()
{
    const auto &b = m_data->paramBlock;
    // Filling the controls raises their change events; muted, they neither reset the version byte
    // nor apply the editing rules to values the unit holds as they are.
    std::vector<std::unique_ptr<QSignalBlocker>> muted;
    for (const ParamFields::SpinField &field : ParamFields::Spins)
        muted.push_back(std::make_unique<QSignalBlocker>(m_page->spinEdit(field.index)));
    for (const ParamFields::TextField &field : ParamFields::Texts)
        muted.push_back(std::make_unique<QSignalBlocker>(m_page->textEdit(field.index)));

    for (const ParamFields::TextField &field : ParamFields::Texts)
        m_page->textEdit(field.index)->setText(QString::number(b[std::size_t(field.index)]));

    for (int index : {UnitFlags, TpsFlags, LambdaFlags})
        m_page->statusLabel(index)->setText(byteToBinary(b[std::size_t(index)]));
    m_data->tpsStatus = b[TpsFlags];
    m_data->lambdaStatus = b[LambdaFlags];
    showTpsLogic();
    showVersion();

    // The controls limit what they cannot show (a stop "MAX" of 255 shows as 254, a speed byte of
    // 0 as 255); the block keeps the bytes as they came.
    for (const ParamFields::SpinField &field : ParamFields::Spins) {
        const quint8 byte = b[std::size_t(field.index)];
        m_page->spinEdit(field.index)->setValue(field.kind == ParamFields::Kind::Speed ? byteToSpeed(byte) : byte);
    }
    placeThresholdMarks();
}

void BlockDisplay::placeThresholdMarks()
{
    const auto &b = m_data->paramBlock;
    const int lambda = b[LambdaThreshold];
    const bool probe5V = testBit(m_data->lambdaStatus, LambdaProbe5VBit);
    const int tps[3] = {b[TpsThreshold1], b[TpsThreshold2], b[TpsThreshold3]};

    // Live page: 600-pixel gauges from x 20, 20-wide markers. The 0-5 V lambda marker moves two
    // pixels per step, so it never gets past 510.
    m_live->lambdaThresholdMark()->setLeft(probe5V ? 10 + 2 * lambda : 10 + 10 * lambda);
    for (int i = 0; i < 3; ++i)
        m_live->tpsMark(i)->setLeft(10 + (tps[i] * 600) / 256);

    // Live box of this page: 100-pixel gauges from x 130, 10-wide markers.
    LiveBox *box = m_page->liveBox();
    box->lambdaThresholdMark()->setLeft(probe5V ? 125 + (lambda * 100) / 255 : 125 + (lambda * 100) / 60);
    for (int i = 0; i < 3; ++i)
        box->tpsMark(i)->setLeft(125 + (tps[i] * 100) / 256);
}

void BlockDisplay::showTpsLogic()
{
    const auto &b = m_data->paramBlock;
    const int t1 = b[TpsThreshold1], t2 = b[TpsThreshold2], t3 = b[TpsThreshold3];
    QString text = QStringLiteral("Podivné TPS hranice");
    if (t1 < t2 && t2 < t3)
        text = QStringLiteral("Stoupající TPS");
    else if (t3 < t2 && t2 < t1)
        text = QStringLiteral("Klesající TPS");
    m_page->tpsLogicLabel()->setText(text);
}

void BlockDisplay::followLiveValues(const LiveValues &values)
{
    m_liveTps = values.tps;
    highlightPowerRange();
}

void BlockDisplay::highlightPowerRange()
{
    const auto &b = m_data->paramBlock;
    const PowerRange active = activePowerRange(m_liveTps, m_data->tpsRising, b[TpsThreshold1], b[TpsThreshold2], b[TpsThreshold3]);
    // The box colour is the memory of the range last shown: while it stays, the markers stay too.
    if (m_page->rangeBox(active)->palette().color(QPalette::Window) == TuningPage::rangeActiveColor())
        return;

    const ParamFields::RangeBox &range = ParamFields::Ranges[int(active)];
    m_live->positionMaxMark()->setLeft(10 + (b[std::size_t(range.dorMax)] * 600) / 256);
    m_live->positionMinMark()->setLeft(10 + (b[std::size_t(range.dorMin)] * 600) / 256);

    for (int r = 0; r < PowerRangeCount; ++r) {
        QGroupBox *box = m_page->rangeBox(PowerRange(r));
        QPalette pal = box->palette();
        pal.setColor(QPalette::Window, PowerRange(r) == active ? TuningPage::rangeActiveColor()
                                                               : TuningPage::rangeIdleColor());
        box->setPalette(pal);
    }
}

void BlockDisplay::markUnversioned()
{
    m_data->paramBlock[SetVersion] = 0;
    showVersion();
}

void BlockDisplay::showVersion()
{
    // Only versions 0..99 have names; a higher byte reads "Nedefinováno" instead of failing.
    m_page->versionLabel()->setText(m_setup->versionName(m_data->paramBlock[SetVersion]));
}
