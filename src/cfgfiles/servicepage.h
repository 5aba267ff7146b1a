#pragma once
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class BackupKeeper;
class BlockDisplay;
class ConfigFiles;
class FileListBox;
class Prompts;
class SetComparisonView;
class ToolSetup;
class UnitData;
class BlockRead;
class BlockWrite;
class LevelExchange;
class UnsavedChanges;

// The page "Servis": configuration files saved and loaded, the backups of every set read from a
// unit, and a comparison of a file with the tool's copy. It lays the controls out; ConfigFiles,
// BackupKeeper and SetComparisonView do the work behind them.
class ServicePage : public QWidget
{
    Q_OBJECT
public:
    explicit ServicePage(QWidget *parent = nullptr);

    // Puts the rules behind the controls. Loading shows a part 1 through the tuning page's display;
    // the link's reads are backed up; what the set last agreed with is kept track of.
    void attach(UnitData *data, const ToolSetup *setup, BlockRead *blockRead, LevelExchange *levels, BlockWrite *blockWrite,
                BlockDisplay *display, Prompts *prompts);
    // The data folder: the file list shows it, backups go into its "zalohy".
    void pointAt(const QString &dataFolder);

    ConfigFiles *files() const { return m_files; }
    UnsavedChanges *unsaved() const { return m_unsaved; }
    BackupKeeper *backups() const { return m_backups; }
    SetComparisonView *comparison() const { return m_comparison; }

    QPushButton *saveButton() const { return m_save; }        // Button24
    QPushButton *loadButton() const { return m_load; }        // Button23
    FileListBox *fileList() const { return m_list; }          // FLB
    QTreeWidget *backupList() const { return m_backupList; }  // Zalohy
    QPushButton *loadBackupButton() const { return m_loadBackup; }
    QPushButton *compareButton() const { return m_compare; }
    QLabel *comparedFileLabel() const { return m_comparedFile; }
    QTreeWidget *comparisonTable() const { return m_table; }
    QPushButton *loadComparedButton() const { return m_loadCompared; }
    QLabel *statusLabel() const { return m_status; }

private:
    void buildFiles();
    void buildBackups();
    void buildComparison();

    QPushButton *m_save = nullptr;
    QPushButton *m_load = nullptr;
    FileListBox *m_list = nullptr;
    QLineEdit *m_mask = nullptr;
    QTreeWidget *m_backupList = nullptr;
    QPushButton *m_loadBackup = nullptr;
    QPushButton *m_compare = nullptr;
    QLabel *m_comparedFile = nullptr;
    QTreeWidget *m_table = nullptr;
    QPushButton *m_loadCompared = nullptr;
    QLabel *m_status = nullptr;
    UnsavedChanges *m_unsaved = nullptr;
    ConfigFiles *m_files = nullptr;
    BackupKeeper *m_backups = nullptr;
    SetComparisonView *m_comparison = nullptr;
};
