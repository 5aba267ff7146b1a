#pragma once
#include "backupstore.h"
#include <QObject>
#include <functional>

class ConfigFiles;
class ServicePage;
class ToolSetup;
class UnitData;
class BlockRead;
class LevelExchange;

// Keeps every set read whole from a unit as a backup, once the level read that follows the
// block has been answered or has given up, and lists the backups on the page "Servis". A backup
// that cannot be written is said on the page and never stops the read.
class BackupKeeper : public QObject
{
    Q_OBJECT
public:
    BackupKeeper(UnitData *data, const ToolSetup *setup, BlockRead *blockRead, LevelExchange *levels, ServicePage *page,
                 ConfigFiles *files, QObject *parent = nullptr);

    void setFolder(const QString &folder);
    // Which unit is on the line, as far as it is known: its backups carry it in their names.
    void setUnitOnLine(std::function<std::optional<UnitIdentity>()> unit) { m_unitOnLine = std::move(unit); }
    const BackupStore &store() const { return m_store; }
    // Reads the folder again into the list, newest first.
    void refresh();
    // The backup selected in the list, or empty.
    QString selectedPath() const;
    // The newest backup of this session taken before the tool first changed the unit's
    // settings: what the unit held before the work. Empty when no set was kept before that.
    QString backupBeforeWrites() const { return m_beforeWrites; }

signals:
    void backupTaken(const BackupStore::Result &result);

private:
    void keep(bool levelsRead);
    void loadSelected();

    UnitData *m_data;
    const ToolSetup *m_setup;
    ServicePage *m_page;
    ConfigFiles *m_files;
    BackupStore m_store;
    ParameterSet m_read;  // the block as it came, until its levels are settled
    QString m_beforeWrites;
    std::function<std::optional<UnitIdentity>()> m_unitOnLine;
};
