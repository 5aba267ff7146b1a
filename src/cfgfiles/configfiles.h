#pragma once
#include "configfile.h"
#include <QObject>
#include <QString>

class BlockDisplay;
class Prompts;
class ServicePage;
class ToolSetup;
class UnitData;
class UnsavedChanges;

// Saving and loading configuration files from the page "Servis": the dialogs, the file list and
// what a loaded file changes in the tool. Nothing here sends a byte to the unit.
class ConfigFiles : public QObject
{
    Q_OBJECT
public:
    static QString saveTitle() { return QStringLiteral("Uložit konfiguraci do souboru"); }
    static QString openTitle() { return QStringLiteral("Vyber soubor s konfigurací"); }
    static QString mask() { return QStringLiteral("*.cfg"); }

    ConfigFiles(UnitData *data, const ToolSetup *setup, ServicePage *page, BlockDisplay *display, Prompts *prompts,
                UnsavedChanges *unsaved, QObject *parent = nullptr);

    // "Ulož aktualní stav", also Ctrl+S; true when the set was saved.
    bool saveSetAs();
    void loadFromFile();  // "Načti ze souboru"
    void openListedFile();

    // Saves the tool's copy to `name`; false (and said) when the file could not be written.
    bool saveConfigFile(const QString &name);
    // Loads `name` into the tool; false (and said) when nothing of it could be taken: a file that
    // cannot be opened, or both parts damaged. Each damaged part is said on its own and leaves its
    // block as it was. A backup is loaded as the set it holds, never as the file to save to.
    bool loadConfigFile(const QString &name);
    // The same when the technician asked for it: unsaved changes are asked about first.
    bool loadAsked(const QString &name);

signals:
    // configFileName changed: the window's caption follows.
    void configFileChanged();
    // A file's level block is now the tool's: the level display shows it.
    void levelsLoaded();

private:
    // The open dialog proposing `proposed`; empty when cancelled.
    QString chooseFile(const QString &proposed);
    QString folder() const;
    bool isBackup(const QString &path) const;
    void takeLevels(const ConfigFile::Contents &contents);

    UnitData *m_data;
    const ToolSetup *m_setup;
    ServicePage *m_page;
    BlockDisplay *m_display;
    Prompts *m_prompts;
    UnsavedChanges *m_unsaved;
    QString m_openName;  // the open dialog keeps the name it last held
};
