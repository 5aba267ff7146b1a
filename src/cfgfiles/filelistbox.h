#pragma once
#include <QListWidget>

class QFileSystemWatcher;

// A list of the files of one folder that match a mask, kept current when the folder changes on
// disk (another program saving or deleting a file) as well as when asked.
class FileListBox : public QListWidget
{
    Q_OBJECT
public:
    explicit FileListBox(QWidget *parent = nullptr);

    void setMask(const QString &mask);
    void setDirectory(const QString &folder);
    QString directory() const { return m_folder; }
    // Reads the folder again.
    void Update();
    // Full path of the selected file; empty when nothing is selected.
    QString fileName() const;

private:
    QString m_folder;
    QString m_mask = QStringLiteral("*.*");
    QFileSystemWatcher *m_watcher;
};
