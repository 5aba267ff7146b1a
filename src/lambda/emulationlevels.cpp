#include "emulationlevels.h"
#include "lambdapage.h"
#include "link/unitdata.h"
#include "link/levelexchange.h"
#include "tuning/blockdisplay.h"
#include "tuning/parameditor.h"
#include "tuning/tuningpage.h"
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

using namespace LambdaFields;

EmulationLevels::EmulationLevels(UnitData *data, LambdaPage *page, TuningPage *tuning, LevelExchange *levels,
                                 QObject *parent)
    : QObject(parent), m_data(data), m_page(page), m_tuning(tuning), m_levels(levels)
{
    for (int i = 0; i < ByteCount; ++i) {
        const ByteField *field = &Bytes[i];
        connect(page->byteEdit(i), &QLineEdit::textChanged, this, [this, field] { ByteChange(*field); });
    }
    connect(page->button("Button38"), &QPushButton::clicked, this, &EmulationLevels::Button38Click);
    connect(page->button("Button39"), &QPushButton::clicked, this, &EmulationLevels::Button39Click);
    connect(levels, &LevelExchange::levelsReceived, this, [this] {
        ShowLevels();
        enableLevels(true);
    });
    // The link keeps levels that came from a unit or a file; the fields show what it kept.
    connect(levels, &LevelExchange::levelsReset, this, [this] {
        ShowLevels();
        enableLevels(false);
    });
}

void EmulationLevels::ByteChange(const ByteField &field)
{
    QLineEdit *edit = m_page->byteEdit(int(&field - Bytes));
    int value = 0;
    if (!m_tuning->editor()->CheckByteText(edit, value))
        return;
    if (field.store == Store::Block) {
        m_tuning->display()->MarkUnversioned();
        m_data->paramBlock[std::size_t(field.index)] = quint8(value);
    } else {
        m_data->levelBlock[std::size_t(field.index)] = quint8(value);
    }
}

void EmulationLevels::Button38Click()
{
    // Written by hand, the levels end like the single saves of the tuning page: polling again.
    m_levels->writeLevels(true);
}

void EmulationLevels::Button39Click()
{
    m_levels->requestLevels();
}

void EmulationLevels::ShowLevels()
{
    for (int i = FirstLevelField; i < ByteCount; ++i) {
        QSignalBlocker muted(m_page->byteEdit(i));
        m_page->byteEdit(i)->setText(QString::number(m_data->levelBlock[std::size_t(Bytes[i].index)]));
    }
}

void EmulationLevels::enableLevels(bool on)
{
    for (int i = FirstLevelField; i < ByteCount; ++i)
        m_page->byteEdit(i)->setEnabled(on);
    // Without levels from the unit there is nothing the tool could write.
    m_page->button("Button38")->setEnabled(on);
}
