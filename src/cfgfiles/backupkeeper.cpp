#include "backupkeeper.h"
#include "toolsetup/toolsetup.h"
#include "configfile.h"
#include "configfiles.h"
#include "servicepage.h"
#include "link/unitdata.h"
#include "link/blockread.h"
#include "link/levelexchange.h"
#include "tuning/paramblock.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace {
const QString NoLevels = QStringLiteral(" – bez úrovní");
}

BackupKeeper::BackupKeeper(UnitData *data, const ToolSetup *setup, BlockRead *blockRead, LevelExchange *levels,
                           ServicePage *page, ConfigFiles *files, QObject *parent)
    : QObject(parent), m_data(data), m_setup(setup), m_page(page), m_files(files)
{
    // The block is taken as it arrived: an edit made while the levels are awaited is not the unit's.
    connect(blockRead, &BlockRead::blockReceived, this, [this](const QByteArray &block) { m_read = ParameterSet::fromFrames(block); });
    connect(levels, &LevelExchange::levelsReceived, this, [this] { keep(true); });
    // Without a level answer the unit's levels are unknown: the backup says so instead of keeping
    // whatever the tool held.
    connect(levels, &LevelExchange::levelsReset, this, [this] { keep(false); });
    connect(page->loadBackupButton(), &QPushButton::clicked, this, &BackupKeeper::loadSelected);
    connect(page->backupList(), &QTreeWidget::itemDoubleClicked, this, &BackupKeeper::loadSelected);
}

void BackupKeeper::setFolder(const QString &folder)
{
    m_store.setFolder(folder);
    refresh();
}

void BackupKeeper::keep(bool levelsRead)
{
    if (m_read.isEmpty() || m_store.folder().isEmpty())
        return;
    const ParameterSet set = m_read.withLevels(levelsRead ? m_data->set().value().levels() : std::nullopt);
    const QString version = m_setup->versionName(set.param(ParamBlock::SetVersion));
    m_read = ParameterSet();

    const BackupStore::Result result =
        m_store.store(set, QDateTime::currentDateTime(), version, m_unitOnLine ? m_unitOnLine() : std::nullopt);
    if (result.outcome != BackupStore::Outcome::Failed && !m_data->set().settingsWritten())
        m_beforeWrites = result.path;
    QLabel *status = m_page->statusLabel();
    switch (result.outcome) {
    case BackupStore::Outcome::Written:
        status->setText(QStringLiteral("Záloha uložena: %1").arg(QFileInfo(result.path).fileName()));
        refresh();
        break;
    case BackupStore::Outcome::Unchanged:
        status->setText(QStringLiteral("Záloha beze změny: %1").arg(QFileInfo(result.path).fileName()));
        break;
    case BackupStore::Outcome::Failed:
        status->setText(QStringLiteral("Zálohu nelze uložit: %1").arg(result.error));
        break;
    }
    emit backupTaken(result);
}

void BackupKeeper::refresh()
{
    QTreeWidget *list = m_page->backupList();
    const QString selected = selectedPath();
    list->clear();
    for (const BackupStore::Entry &e : m_store.list()) {
        // The name as the tuning page gives it, Czech letters included; the file name's safe form
        // only where the file cannot say.
        QFile file(e.path);
        const ConfigFile::Contents parts = file.open(QIODevice::ReadOnly) ? ConfigFile::read(&file) : ConfigFile::Contents();
        QString version = parts.paramValid() ? m_setup->versionName(parts.set().param(ParamBlock::SetVersion)) : e.versionName;
        if (parts.levelsAbsent)
            version += NoLevels;
        auto *item = new QTreeWidgetItem(list, {e.when.toString(QStringLiteral("dd.MM.yyyy")),
                                                e.when.toString(QStringLiteral("HH:mm:ss")), version});
        item->setData(0, Qt::UserRole, e.path);
        for (int c = 0; c < 3; ++c)
            item->setToolTip(c, version + QLatin1Char('\n') + QDir::toNativeSeparators(e.path));
        if (e.path == selected)
            list->setCurrentItem(item);
    }
}

QString BackupKeeper::selectedPath() const
{
    const QTreeWidgetItem *item = m_page->backupList()->currentItem();
    return item ? item->data(0, Qt::UserRole).toString() : QString();
}

void BackupKeeper::loadSelected()
{
    const QString path = selectedPath();
    if (path.isEmpty() || !m_files->loadAsked(path))
        return;
    const bool withoutLevels = !m_data->set().levelsValid();
    m_page->statusLabel()->setText(QStringLiteral("Načtena záloha %1%2").arg(QFileInfo(path).fileName(), withoutLevels ? NoLevels : QString()));
}
