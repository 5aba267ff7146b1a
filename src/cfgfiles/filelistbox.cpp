#include "filelistbox.h"
#include <QDir>
#include <QFileSystemWatcher>

FileListBox::FileListBox(QWidget *parent)
    : QListWidget(parent), m_watcher(new QFileSystemWatcher(this))
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &FileListBox::Update);
}

void FileListBox::setMask(const QString &mask)
{
    m_mask = mask;
    Update();
}

void FileListBox::setDirectory(const QString &folder)
{
    if (!m_folder.isEmpty())
        m_watcher->removePath(m_folder);
    m_folder = QDir(folder).absolutePath();
    m_watcher->addPath(m_folder);
    Update();
}

void FileListBox::Update()
{
    // The selection survives a refresh: a save must not move the technician's place in the list.
    const QString selected = currentItem() ? currentItem()->text() : QString();
    clear();
    if (m_folder.isEmpty())
        return;
    const QStringList names = QDir(m_folder).entryList({m_mask}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    addItems(names);
    const int row = names.indexOf(selected);
    if (row >= 0)
        setCurrentRow(row);
}

QString FileListBox::fileName() const
{
    const QListWidgetItem *item = currentItem();
    if (!item || !item->isSelected())
        return QString();
    return QDir(m_folder).absoluteFilePath(item->text());
}
