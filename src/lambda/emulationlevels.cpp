#include "emulationlevels.h"
#include "lambdapage.h"
#include "link/unitdata.h"
#include "link/levelexchange.h"
#include "link/memorycheck.h"
#include "tuning/savecheckwords.h"
#include "tuning/blockdisplay.h"
#include "tuning/parameditor.h"
#include "tuning/tuningpage.h"
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

using namespace LambdaFields;

EmulationLevels::EmulationLevels(UnitData *data, LambdaPage *page, TuningPage *tuning, LevelExchange *levels,
                                 MemoryCheck *check, QObject *parent)
    : QObject(parent), m_data(data), m_page(page), m_tuning(tuning), m_levels(levels), m_check(check)
{
    for (int i = 0; i < ByteCount; ++i) {
        const ByteField *field = &Bytes[i];
        connect(page->byteEdit(i), &QLineEdit::textChanged, this, [this, field] { byteEdited(*field); });
    }
    connect(page->writeLevelsButton(), &QPushButton::clicked, this, &EmulationLevels::writeLevels);
    connect(page->readLevelsButton(), &QPushButton::clicked, this, &EmulationLevels::readLevels);
    connect(levels, &LevelExchange::levelsReceived, this, &EmulationLevels::showLevels);
    // The link keeps levels that came from a unit or a file; the fields show what it kept.
    connect(levels, &LevelExchange::levelsReset, this, &EmulationLevels::showLevels);
}

void EmulationLevels::byteEdited(const ByteField &field)
{
    QLineEdit *edit = m_page->byteEdit(int(&field - Bytes));
    int value = 0;
    if (!m_tuning->editor()->checkByteText(edit, value))
        return;
    if (field.store == Store::Block) {
        m_tuning->display()->markUnversioned();
        m_data->set().setParamByte(field.index, quint8(value));
    } else {
        m_data->set().setLevelByte(field.index, quint8(value));
    }
}

void EmulationLevels::writeLevels()
{
    // Placeholders would overwrite the unit's own levels with something nobody chose.
    if (!m_data->set().levelsValid())
        return;
    QList<MemoryCheck::Byte> sent;
    for (int i = 0; i < 4; ++i)
        sent.append({UnitAddress::FirstLevel + i, m_data->set().levelByte(i + 1)});
    // Written by hand, the levels end like the single saves of the tuning page: polling again,
    // once the unit has been asked what it now holds.
    m_levels->writeLevels(true);
    m_check->check(sent, [this](MemoryCheck::Outcome outcome) { tellSaveOutcome(m_check, outcome); });
}

void EmulationLevels::readLevels()
{
    if (m_mayReplace && !m_mayReplace())
        return;
    m_levels->requestLevels();
}

void EmulationLevels::showLevels()
{
    for (int i = FirstLevelField; i < ByteCount; ++i) {
        QSignalBlocker muted(m_page->byteEdit(i));
        m_page->byteEdit(i)->setText(QString::number(m_data->set().levelByte(Bytes[i].index)));
    }
    enableLevels(m_data->set().levelsValid());
}

void EmulationLevels::enableLevels(bool on)
{
    for (int i = FirstLevelField; i < ByteCount; ++i)
        m_page->byteEdit(i)->setEnabled(on);
    // Without levels from the unit there is nothing the tool could write.
    m_page->writeLevelsButton()->setEnabled(on);
}
