#include "setcomparisonview.h"
#include "toolsetup/toolsetup.h"
#include "backupkeeper.h"
#include "configfile.h"
#include "configfiles.h"
#include "filelistbox.h"
#include "servicepage.h"
#include "setcomparison.h"
#include "prompts/prompts.h"
#include "link/unitdata.h"
#include "tuning/blockdisplay.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace {
const QColor DiffersColour(255, 210, 210);
}

QString SetComparisonView::differences(int n)
{
    if (n == 1)
        return QStringLiteral("1 rozdíl");
    if (n >= 2 && n <= 4)
        return QStringLiteral("%1 rozdíly").arg(n);
    return QStringLiteral("%1 rozdílů").arg(n);
}

int SetComparisonView::fill(QTreeWidget *table, const QList<ComparisonRow> &rows)
{
    table->clear();
    int differing = 0;
    for (const ComparisonRow &r : rows) {
        auto *item = new QTreeWidgetItem(table, {r.name, r.ours, r.theirs});
        for (int c = 0; c < 3; ++c)
            item->setToolTip(c, item->text(c));
        if (!r.differs)
            continue;
        ++differing;
        QFont bold = item->font(0);
        bold.setBold(true);
        for (int c = 0; c < 3; ++c) {
            item->setBackground(c, DiffersColour);
            item->setFont(c, bold);
        }
    }
    return differing;
}

SetComparisonView::SetComparisonView(UnitData *data, const ToolSetup *setup, ServicePage *page, ConfigFiles *files,
                                     Prompts *prompts, QObject *parent)
    : QObject(parent), m_data(data), m_setup(setup), m_page(page), m_files(files), m_prompts(prompts)
{
    connect(page->compareButton(), &QPushButton::clicked, this, &SetComparisonView::compareWithFile);
    connect(page->loadComparedButton(), &QPushButton::clicked, this, &SetComparisonView::loadCompared);
}

void SetComparisonView::compareWithFile()
{
    // The file proposed is what the technician last pointed at: a backup, else a listed file.
    FileQuestion q;
    q.title = title();
    q.filter = ConfigFiles::mask();
    q.folder = m_setup->dataFolder();
    q.fileName = m_page->backups() ? m_page->backups()->selectedPath() : QString();
    if (q.fileName.isEmpty())
        q.fileName = m_page->fileList()->fileName();
    if (!q.fileName.isEmpty())
        q.folder = QFileInfo(q.fileName).absolutePath();
    const QString name = m_prompts->askOpenFile(q);
    if (!name.isEmpty())
        compareWith(m_setup->dataFilePath(name));
}

bool SetComparisonView::compareWith(const QString &path)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        m_prompts->error(QStringLiteral("Chyba"),
                         QStringLiteral("Soubor %1 nelze otevřít: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    m_path = path;
    file.close();
    refresh();
    return true;
}

void SetComparisonView::refresh()
{
    if (m_path.isEmpty())
        return;
    QFile file(m_path);
    const ConfigFile::Contents theirs = file.open(QIODevice::ReadOnly) ? ConfigFile::read(&file) : ConfigFile::Contents();
    const int differing = fill(m_page->comparisonTable(), compareSets(m_data->set().value(), theirs, m_setup->versionNames()));
    // The count stays readable however long the name: the name gives way in its middle.
    QLabel *label = m_page->comparedFileLabel();
    const QString count = differing == 0 ? QStringLiteral(": shodné") : QStringLiteral(": ") + differences(differing);
    const int room = label->width() - label->fontMetrics().horizontalAdvance(count) - 4;
    label->setText(label->fontMetrics().elidedText(QFileInfo(m_path).fileName(), Qt::ElideMiddle, room) + count);
    m_page->comparedFileLabel()->setToolTip(QDir::toNativeSeparators(m_path));
    m_page->loadComparedButton()->setEnabled(true);
}

void SetComparisonView::loadCompared()
{
    if (!m_path.isEmpty() && m_files->loadAsked(m_path))
        refresh();
}
