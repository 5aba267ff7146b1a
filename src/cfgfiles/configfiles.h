#pragma once
#include <QObject>
#include <QString>

class BlockDisplay;
class Prompts;
class ServicePage;
class UnitData;

// Saving and loading configuration files from the page "Servis": the dialogs, the file list and
// what a loaded file changes in the tool. Nothing here sends a byte to the unit.
class ConfigFiles : public QObject
{
    Q_OBJECT
public:
    static QString saveTitle() { return QStringLiteral("Uložit konfiguraci do souboru"); }
    static QString openTitle() { return QStringLiteral("Vyber soubor s konfigurací"); }
    static QString mask() { return QStringLiteral("*.cfg"); }

    ConfigFiles(UnitData *data, ServicePage *page, BlockDisplay *display, Prompts *prompts,
                QObject *parent = nullptr);

    void Button24Click();  // "Ulož aktualní stav", also Ctrl+S
    void Button23Click();  // "Načti ze souboru"
    void FLBDblClick();

    // Saves the tool's copy to `name`; false (and said) when the file could not be written.
    bool SaveConfigFile(const QString &name);
    // Loads `name` into the tool; false (and said) when it could not be opened. Each damaged part
    // is said on its own and leaves its block as it was.
    bool LoadConfigFile(const QString &name);

signals:
    // configFileName changed: the window's caption follows.
    void configFileChanged();
    // A file's level block is now the tool's: the level display shows it.
    void levelsLoaded();

private:
    void chooseAndLoad(const QString &proposed);
    QString folder() const;

    UnitData *m_data;
    ServicePage *m_page;
    BlockDisplay *m_display;
    Prompts *m_prompts;
    QString m_openName;  // the open dialog keeps the name it last held
};
