#include "unsavedchanges.h"
#include "toolsetup/toolsetup.h"
#include "backupstore.h"
#include "prompts/prompts.h"
#include "link/unitdata.h"
#include "link/blockread.h"
#include "link/blockwrite.h"
#include "link/levelexchange.h"
#include <QAbstractButton>
#include <QDateTime>
#include <QLineEdit>
#include <QWidget>
#include <utility>

UnsavedChanges::UnsavedChanges(UnitData *data, const ToolSetup *setup, BlockRead *blockRead, LevelExchange *levels,
                               BlockWrite *blockWrite, Prompts *prompts, QObject *parent)
    : QObject(parent), m_data(data), m_setup(setup), m_prompts(prompts), m_agreed(data->set().value())
{
    m_recheck.setSingleShot(true);
    m_recheck.setInterval(0);
    connect(&m_recheck, &QTimer::timeout, this, &UnsavedChanges::recheck);

    // The block as it came, whenever the display takes it over.
    connect(blockRead, &BlockRead::blockReceived, this, [this](const QByteArray &block) {
        m_agreed = ParameterSet::fromFrames(block).withLevels(m_agreed.levels());
        m_readingSet = true;
        recheckSoon();
    });
    connect(levels, &LevelExchange::levelsReceived, this, [this] {
        m_readingSet = false;
        agreeLevels();
    });
    // A read whose levels went unanswered holds what such a unit has; a level read of its own
    // that went unanswered changed nothing the technician made.
    connect(levels, &LevelExchange::levelsReset, this, [this] {
        if (std::exchange(m_readingSet, false))
            agreeLevels();
        else
            recheckSoon();
    });
    connect(blockWrite, &BlockWrite::writeVerified, this, &UnsavedChanges::agree);
}

bool UnsavedChanges::pending() const
{
    return m_data->set().value() != m_agreed;
}

void UnsavedChanges::agree()
{
    m_agreed = m_data->set().value();
    recheck();
}

void UnsavedChanges::agreeParams()
{
    m_agreed = m_data->set().value().withLevels(m_agreed.levels());
    recheck();
}

void UnsavedChanges::agreeLevels()
{
    m_agreed = m_agreed.withLevels(m_data->set().value().levels());
    recheck();
}

void UnsavedChanges::recheck()
{
    if (pending() == m_shown)
        return;
    m_shown = !m_shown;
    emit changed();
}

void UnsavedChanges::watch(QWidget *root)
{
    for (QLineEdit *edit : root->findChildren<QLineEdit *>())
        connect(edit, &QLineEdit::textChanged, this, &UnsavedChanges::recheckSoon);
    for (QAbstractButton *button : root->findChildren<QAbstractButton *>())
        connect(button, &QAbstractButton::clicked, this, &UnsavedChanges::recheckSoon);
}

bool UnsavedChanges::mayReplace()
{
    return !pending() || askReplace();
}

bool UnsavedChanges::mayReplaceLevels()
{
    return m_data->set().value().levels() == m_agreed.levels() || askReplace();
}

bool UnsavedChanges::askReplace()
{
    return m_prompts->askYesNo(QStringLiteral("Pozor !!!"), QStringLiteral("Máte neuložené změny. Zahodit změny a načíst?"));
}

void UnsavedChanges::agreeChecked(const QList<MemoryCheck::Byte> &bytes, MemoryCheck::Outcome outcome)
{
    if (outcome != MemoryCheck::Outcome::Confirmed)
        return;
    for (const MemoryCheck::Byte &byte : bytes) {
        const int index = byte.address - UnitAddress::ParamOffset;
        const int level = byte.address - UnitAddress::FirstLevel + 1;
        if (index >= 1 && index < UnitData::ParamBlockSize - 1) {
            m_agreed = m_agreed.withParam(index, byte.value);
        } else if (level >= 1 && level <= 4 && m_agreed.hasLevels()) {
            ParameterSet::Levels levels = *m_agreed.levels();
            levels[std::size_t(level)] = byte.value;
            m_agreed = m_agreed.withLevels(levels);
        }
    }
    recheck();
}

QString UnsavedChanges::keepForLater(QString *error)
{
    const ParameterSet set = m_data->set().value();
    // A logout that was called off and then a stop keep the same set once.
    if (!pending() || m_setup->dataFolder().isEmpty() || set == m_kept)
        return QString();
    const BackupStore store(BackupStore::folderIn(m_setup->dataFolder()));
    const BackupStore::Result result = store.keepUnsaved(set, QDateTime::currentDateTime());
    if (result.outcome != BackupStore::Outcome::Written) {
        if (error)
            *error = result.error;
        return QString();
    }
    m_kept = set;
    return result.path;
}
