#include "lambdastatuseditor.h"
#include "lambdapage.h"
#include "livepage/bargauge.h"
#include "livepage/livebox.h"
#include "livepage/livedisplay.h"
#include "livepage/livevaluespage.h"
#include "link/unitdata.h"
#include "link/linktransport.h"
#include "tuning/blockdisplay.h"
#include "tuning/tuningpage.h"
#include "tuning/unitcommands.h"
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <memory>
#include <vector>

using namespace LambdaFields;

LambdaStatusEditor::LambdaStatusEditor(UnitData *data, LambdaPage *page, TuningPage *tuning, LinkTransport *link,
                                       LiveValuesPage *livePage, QObject *parent)
    : QObject(parent), m_data(data), m_page(page), m_tuning(tuning), m_link(link), m_live(livePage)
{
    for (int i = 0; i < RadioCount; ++i) {
        const Radio *radio = &Radios[i];
        connect(page->radio(i), &QRadioButton::clicked, this, [this, radio] { chooseOption(*radio); });
    }
    connect(page->saveStatusButton(), &QPushButton::clicked, this, &LambdaStatusEditor::saveStatus);
    connect(tuning->display(), &BlockDisplay::blockTakenOver, this, &LambdaStatusEditor::discardDrafts);
    discardDrafts();
}

unsigned &LambdaStatusEditor::draftOf(const Radio &radio)
{
    return groupOf(radio).status == Status::Lambda ? lambdaStatusDraft : tpsStatusDraft;
}

void LambdaStatusEditor::chooseOption(const Radio &radio)
{
    m_tuning->display()->markUnversioned();
    for (int i = 0; i < RadioCount; ++i) {
        if (Radios[i].group == radio.group)
            m_page->radio(i)->setChecked(&Radios[i] == &radio);
    }
    unsigned &draft = draftOf(radio);
    draft = choose(draft, radio);
    switch (radio.group) {
    case Group::EmulationType:
        enableTimes(draft);
        break;
    case Group::ProbeVoltage: {
        // The gauges follow the chosen probe at once, before it is saved.
        const int maximum = LiveDisplay::lambdaMaximum(draft);
        m_tuning->liveBox()->lambdaGauge()->setMaximum(maximum);
        m_live->lambdaGauge()->setMaximum(maximum);
        break;
    }
    case Group::ProbeLogic:
    case Group::TpsLogic:
        break;
    }
    showPending();
}

void LambdaStatusEditor::saveStatus()
{
    m_tuning->display()->markUnversioned();
    setBit(lambdaStatusDraft, SavedBit);
    UnitSet &set = m_data->set();
    set.setParamByte(ParamBlock::LambdaFlags, quint8(lambdaStatusDraft));
    set.setParamByte(ParamBlock::TpsFlags, quint8(tpsStatusDraft));
    set.takeUpStatus(lambdaStatusDraft, tpsStatusDraft);
    set.setTpsRising(testBit(set.paramByte(ParamBlock::TpsFlags), ParamBlock::TpsRisingBit));
    for (int index : {ParamBlock::TpsFlags, ParamBlock::LambdaFlags})
        m_tuning->statusLabel(index)->setText(byteToBinary(set.paramByte(index)));
    showPending();
    // Written as by the tuning page's button, which asks first when the block is no unit's or file's.
    m_tuning->commands()->writeBlock();
}

void LambdaStatusEditor::discardDrafts()
{
    lambdaStatusDraft = m_data->set().lambdaStatus();
    tpsStatusDraft = m_data->set().tpsStatus();
    showChoices();
    showPending();
}

void LambdaStatusEditor::dropDraftsOnPageChange()
{
    const bool dropped = draftsPending();
    discardDrafts();
    if (dropped)
        m_link->announceLinkMessage(QStringLiteral("Volby zahozeny!"));
}

bool LambdaStatusEditor::draftsPending() const
{
    return lambdaStatusDraft != m_data->set().lambdaStatus() || tpsStatusDraft != m_data->set().tpsStatus();
}

void LambdaStatusEditor::showPending()
{
    m_page->pendingLabel()->setVisible(draftsPending());
}

void LambdaStatusEditor::showChoices()
{
    // Checking a button or filling a field would otherwise run its handler: the version byte
    // would drop and the times would be written back.
    std::vector<std::unique_ptr<QSignalBlocker>> muted;
    for (int i = 0; i < RadioCount; ++i)
        muted.push_back(std::make_unique<QSignalBlocker>(m_page->radio(i)));
    for (int i = 0; i < FirstLevelField; ++i)
        muted.push_back(std::make_unique<QSignalBlocker>(m_page->byteEdit(i)));

    for (int i = 0; i < RadioCount; ++i) {
        const unsigned status = groupOf(Radios[i]).status == Status::Lambda ? m_data->set().lambdaStatus() : m_data->set().tpsStatus();
        m_page->radio(i)->setChecked(chosen(status, Radios[i]));
    }
    enableTimes(m_data->set().lambdaStatus());
    for (int i = 0; i < FirstLevelField; ++i)
        m_page->byteEdit(i)->setText(QString::number(m_data->set().paramByte(Bytes[i].index)));
}

void LambdaStatusEditor::enableTimes(unsigned lambdaStatus)
{
    for (int i = 0; i < FirstLevelField; ++i)
        m_page->byteEdit(i)->setEnabled(Bytes[i].raised ? raisedTimesUsed(lambdaStatus) : idleTimesUsed(lambdaStatus));
}
