#include "configfiles.h"
#include "toolsetup/toolsetup.h"
#include "backupstore.h"
#include "configfile.h"
#include "filelistbox.h"
#include "servicepage.h"
#include "unsavedchanges.h"
#include "prompts/prompts.h"
#include "link/unitdata.h"
#include "tuning/blockdisplay.h"
#include "tuning/paramblock.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>

namespace {
const QString ErrorCaption = QStringLiteral("Chyba");
const QString DamagedPart1 = QStringLiteral("Poškozený konfigurační soubor 1.část!");
const QString DamagedPart2 = QStringLiteral("Poškozený konfigurační soubor 2.část!");
}

ConfigFiles::ConfigFiles(UnitData *data, const ToolSetup *setup, ServicePage *page, BlockDisplay *display,
                         Prompts *prompts, UnsavedChanges *unsaved, QObject *parent)
    : QObject(parent), m_data(data), m_setup(setup), m_page(page), m_display(display), m_prompts(prompts),
      m_unsaved(unsaved)
{
    connect(page->saveButton(), &QPushButton::clicked, this, &ConfigFiles::saveSetAs);
    connect(page->loadButton(), &QPushButton::clicked, this, &ConfigFiles::loadFromFile);
    connect(page->fileList(), &FileListBox::itemDoubleClicked, this, &ConfigFiles::openListedFile);
}

QString ConfigFiles::folder() const
{
    return m_setup->dataFolder();
}

bool ConfigFiles::isBackup(const QString &path) const
{
    return QFileInfo(path).absolutePath() == QDir(BackupStore::folderIn(folder())).absolutePath();
}

bool ConfigFiles::saveSetAs()
{
    FileQuestion q;
    q.title = saveTitle();
    q.folder = folder();
    q.filter = mask();
    q.fileName = m_fileName;
    q.defaultSuffix = QStringLiteral("cfg");
    q.confirmOverwrite = true;
    const QString name = m_prompts->askSaveFile(q);
    return !name.isEmpty() && saveConfigFile(name);
}

bool ConfigFiles::saveConfigFile(const QString &name)
{
    const QString path = m_setup->dataFilePath(name);
    QString reason;
    if (!ConfigFile::writeAtomically(path, ConfigFile::compose(m_data->set().value()), &reason)) {
        // The old file, the caption and the current name stay: nothing was saved.
        m_prompts->error(ErrorCaption, QStringLiteral("Soubor %1 nelze uložit: %2").arg(QDir::toNativeSeparators(path), reason));
        return false;
    }
    m_fileName = path;
    m_backupSource.clear();
    m_unsaved->agree();
    emit configFileChanged();
    m_page->fileList()->Update();
    return true;
}

void ConfigFiles::loadFromFile()
{
    const QString name = chooseFile(m_openName);
    if (!name.isEmpty())
        loadAsked(name);
}

void ConfigFiles::openListedFile()
{
    const QString clicked = m_page->fileList()->fileName();
    if (clicked.isEmpty())
        return;
    // The click alone makes it the current file and the open dialog's name: a cancelled
    // confirmation still leaves it as the name the next save and the next load propose.
    const QString before = m_fileName;
    m_fileName = clicked;
    m_openName = clicked;
    const QString name = chooseFile(clicked);
    if (name.isEmpty() || !m_unsaved->mayReplace())
        return;
    // A file that gave nothing is not the current one.
    if (!loadConfigFile(name))
        m_fileName = before;
}

QString ConfigFiles::chooseFile(const QString &proposed)
{
    FileQuestion q;
    q.title = openTitle();
    q.folder = folder();
    q.filter = mask();
    q.fileName = proposed;
    const QString name = m_prompts->askOpenFile(q);
    if (!name.isEmpty())
        m_openName = name;
    return name;
}

bool ConfigFiles::loadAsked(const QString &name)
{
    return m_unsaved->mayReplace() && loadConfigFile(name);
}

bool ConfigFiles::loadConfigFile(const QString &name)
{
    const QString path = m_setup->dataFilePath(name);
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        const QString reason = QFileInfo(path).isDir() ? QStringLiteral("je to složka") : file.errorString();
        m_prompts->error(ErrorCaption, QStringLiteral("Soubor %1 nelze otevřít: %2").arg(QDir::toNativeSeparators(path), reason));
        return false;
    }
    const ConfigFile::Contents contents = ConfigFile::read(&file);
    file.close();
    if (!contents.paramValid() && contents.levelsDamaged()) {
        // Nothing of it became the tool's: the caption and the name the next save proposes stay.
        m_prompts->error(ErrorCaption, DamagedPart1);
        m_prompts->error(ErrorCaption, DamagedPart2);
        return false;
    }

    if (isBackup(path)) {
        // A backup is what a unit once held: a save goes to a new file named by the set's version.
        const quint8 versionByte = contents.paramValid() ? (*contents.block)[ParamBlock::SetVersion] : m_data->set().paramByte(ParamBlock::SetVersion);
        const QString version = m_setup->versionName(versionByte);
        m_backupSource = path;
        m_fileName = m_setup->dataFilePath(BackupStore::safeName(version) + QStringLiteral(".cfg"));
    } else {
        m_backupSource.clear();
        m_fileName = path;
    }
    emit configFileChanged();

    if (contents.paramValid()) {
        // Valid before the take-over: the pages that follow it may rely on the flag.
        m_data->set().markBlockValid();
        m_display->takeOverBlock(contents.set().blockFrame());
        m_unsaved->agreeParams();
    } else {
        m_prompts->error(ErrorCaption, DamagedPart1);
    }
    takeLevels(contents);
    return true;
}

void ConfigFiles::takeLevels(const ConfigFile::Contents &contents)
{
    if (contents.levelsDamaged()) {
        m_prompts->error(ErrorCaption, DamagedPart2);
        return;
    }
    // A set read from a unit that gave no levels leaves placeholders that a write does not send.
    m_data->set().takeOverLevels(contents.levels);
    m_unsaved->agreeLevels();
    emit levelsLoaded();
}
