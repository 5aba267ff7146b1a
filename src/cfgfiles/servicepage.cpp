#include "servicepage.h"
#include "backupkeeper.h"
#include "configfiles.h"
#include "filelistbox.h"
#include "setcomparisonview.h"
#include "unsavedchanges.h"
#include "tuning/blockdisplay.h"
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace {
QPushButton *button(const char *name, const QString &caption, QWidget *parent, const QRect &at)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(at);
    return b;
}

QTreeWidget *table(const char *name, const QStringList &columns, const QList<int> &widths, QWidget *parent, const QRect &at)
{
    auto *t = new QTreeWidget(parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setGeometry(at);
    t->setRootIsDecorated(false);
    t->setUniformRowHeights(true);
    t->setHeaderLabels(columns);
    for (int i = 0; i < widths.size(); ++i)
        t->setColumnWidth(i, widths[i]);
    return t;
}
}

ServicePage::ServicePage(QWidget *parent)
    : QWidget(parent)
{
    buildFiles();
    buildBackups();
    buildComparison();
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StavServisu"));
    m_status->setGeometry(8, 404, 616, 16);
}

// Files and backups side by side on top; the comparison gets the page's whole width below, so
// that the Czech names and the decoded options stand whole beside both values.
void ServicePage::buildFiles()
{
    auto *box = new QGroupBox(QStringLiteral("Konfigurační soubory"), this);
    box->setObjectName(QStringLiteral("GroupBoxSoubory"));
    box->setGeometry(8, 2, 300, 152);
    m_save = button("Button24", QStringLiteral("Ulož aktualní stav"), box, {8, 18, 140, 24});
    m_load = button("Button23", QStringLiteral("Načti ze souboru"), box, {152, 18, 140, 24});
    m_list = new FileListBox(box);
    m_list->setObjectName(QStringLiteral("FLB"));
    m_list->setGeometry(8, 46, 284, 98);
    // The list's mask edit: part of the list, never shown.
    m_mask = new QLineEdit(QStringLiteral("*.cfg"), box);
    m_mask->setObjectName(QStringLiteral("Edit1"));
    m_mask->hide();
    m_list->setMask(m_mask->text());
}

void ServicePage::buildBackups()
{
    auto *box = new QGroupBox(QStringLiteral("Zálohy načtené z ŘJ"), this);
    box->setObjectName(QStringLiteral("GroupBoxZalohy"));
    box->setGeometry(314, 2, 310, 152);
    m_loadBackup = button("NactiZalohu", QStringLiteral("Načti zálohu"), box, {8, 18, 140, 24});
    m_backupList = table("Zalohy", {QStringLiteral("Datum"), QStringLiteral("Čas"), QStringLiteral("Verze")}, {76, 60},
                         box, {8, 46, 294, 98});
    m_backupList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A long version name gives way in its middle: "bez úrovní" at its end stays readable.
    m_backupList->setTextElideMode(Qt::ElideMiddle);
}

void ServicePage::buildComparison()
{
    auto *box = new QGroupBox(QStringLiteral("Porovnání souboru s daty v nástroji"), this);
    box->setObjectName(QStringLiteral("GroupBoxPorovnani"));
    box->setGeometry(8, 158, 616, 244);
    m_compare = button("Porovnat", QStringLiteral("Porovnat"), box, {8, 18, 140, 24});
    m_comparedFile = new QLabel(box);
    m_comparedFile->setObjectName(QStringLiteral("PorovnanySoubor"));
    m_comparedFile->setGeometry(156, 18, 300, 24);
    m_loadCompared = button("NactiPorovnany", QStringLiteral("Načti tento soubor"), box, {468, 18, 140, 24});
    m_loadCompared->setEnabled(false);
    m_table = table("Porovnani", {QStringLiteral("Parametr"), QStringLiteral("V nástroji"), QStringLiteral("V souboru")},
                    {270, 152}, box, {8, 46, 600, 190});
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
}

void ServicePage::attach(UnitData *data, const ToolSetup *setup, BlockRead *blockRead, LevelExchange *levels,
                         BlockWrite *blockWrite, BlockDisplay *display, Prompts *prompts)
{
    m_unsaved = new UnsavedChanges(data, setup, blockRead, levels, blockWrite, prompts, this);
    m_files = new ConfigFiles(data, setup, this, display, prompts, m_unsaved, this);
    m_backups = new BackupKeeper(data, setup, blockRead, levels, this, m_files, this);
    m_comparison = new SetComparisonView(data, setup, this, m_files, prompts, this);
    // What the tool holds changed as a whole: the comparison shows it at once.
    connect(display, &BlockDisplay::blockTakenOver, m_comparison, &SetComparisonView::refresh);
    connect(m_files, &ConfigFiles::levelsLoaded, m_comparison, &SetComparisonView::refresh);
}

void ServicePage::pointAt(const QString &dataFolder)
{
    m_list->setDirectory(dataFolder);
    if (m_backups)
        m_backups->setFolder(BackupStore::folderIn(dataFolder));
}
