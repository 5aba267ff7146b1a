#include "configfiles.h"
#include "configfile.h"
#include "filelistbox.h"
#include "servicepage.h"
#include "link/prompts.h"
#include "link/unitdata.h"
#include "tuning/blockdisplay.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <algorithm>

namespace {
const QString ErrorCaption = QStringLiteral("Chyba");

QByteArray bytesOf(const quint8 *data, int size)
{
    return QByteArray(reinterpret_cast<const char *>(data), size);
}
}

ConfigFiles::ConfigFiles(UnitData *data, ServicePage *page, BlockDisplay *display, Prompts *prompts, QObject *parent)
    : QObject(parent), m_data(data), m_page(page), m_display(display), m_prompts(prompts)
{
    connect(page->saveButton(), &QPushButton::clicked, this, &ConfigFiles::Button24Click);
    connect(page->loadButton(), &QPushButton::clicked, this, &ConfigFiles::Button23Click);
    connect(page->fileList(), &FileListBox::itemDoubleClicked, this, &ConfigFiles::FLBDblClick);
}

QString ConfigFiles::folder() const
{
    return m_data->dataFolder;
}

void ConfigFiles::Button24Click()
{
    FileQuestion q;
    q.title = saveTitle();
    q.folder = folder();
    q.filter = mask();
    q.fileName = m_data->configFileName;
    q.defaultSuffix = QStringLiteral("cfg");
    q.confirmOverwrite = true;
    const QString name = m_prompts->askSaveFile(q);
    if (name.isEmpty())
        return;
    SaveConfigFile(name);
}

bool ConfigFiles::SaveConfigFile(const QString &name)
{
    const QString path = m_data->dataFilePath(name);
    const QByteArray bytes = ConfigFile::compose(bytesOf(m_data->paramBlock.data(), UnitData::ParamBlockSize),
                                                 bytesOf(m_data->levelBlock.data(), UnitData::LevelBlockSize));
    QString reason;
    if (!ConfigFile::writeAtomically(path, bytes, &reason)) {
        // The old file, the caption and the current name stay: nothing was saved.
        m_prompts->error(ErrorCaption, QStringLiteral("Soubor %1 nelze uložit: %2").arg(QDir::toNativeSeparators(path), reason));
        return false;
    }
    m_data->configFileName = path;
    emit configFileChanged();
    m_page->fileList()->Update();
    return true;
}

void ConfigFiles::Button23Click()
{
    chooseAndLoad(m_openName);
}

void ConfigFiles::FLBDblClick()
{
    const QString clicked = m_page->fileList()->fileName();
    if (clicked.isEmpty())
        return;
    // The click alone makes it the current file and the open dialog's name: a cancelled
    // confirmation still leaves it as the name the next save and the next load propose.
    m_data->configFileName = clicked;
    m_openName = clicked;
    chooseAndLoad(clicked);
}

void ConfigFiles::chooseAndLoad(const QString &proposed)
{
    FileQuestion q;
    q.title = openTitle();
    q.folder = folder();
    q.filter = mask();
    q.fileName = proposed;
    const QString name = m_prompts->askOpenFile(q);
    if (name.isEmpty())
        return;
    m_openName = name;
    LoadConfigFile(name);
}

bool ConfigFiles::LoadConfigFile(const QString &name)
{
    const QString path = m_data->dataFilePath(name);
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        const QString reason = QFileInfo(path).isDir() ? QStringLiteral("je to složka") : file.errorString();
        m_prompts->error(ErrorCaption, QStringLiteral("Soubor %1 nelze otevřít: %2").arg(QDir::toNativeSeparators(path), reason));
        return false;
    }
    const ConfigFile::Contents contents = ConfigFile::read(&file);
    file.close();

    m_data->configFileName = path;
    emit configFileChanged();

    if (contents.paramValid()) {
        // Valid before the take-over: the pages that follow it may rely on the flag.
        m_data->blockValid = true;
        m_display->TakeOverBlock(contents.paramBlock);
    } else {
        m_prompts->error(ErrorCaption, QStringLiteral("Poškozený konfigurační soubor 1.část!"));
    }
    if (contents.levelsValid()) {
        std::copy(contents.levelBlock.cbegin(), contents.levelBlock.cend(), m_data->levelBlock.begin());
        m_data->levelsValid = true;
        emit levelsLoaded();
    } else {
        m_prompts->error(ErrorCaption, QStringLiteral("Poškozený konfigurační soubor 2.část!"));
    }
    return true;
}
