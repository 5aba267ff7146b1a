#include "escapereport.h"
#include "mainwindow.h"
#include "cfgfiles/backupstore.h"
#include "prompts/prompts.h"
#include "link/unitdata.h"
#include <QDir>
#include <QTimer>
#include <utility>

EscapeReport::EscapeReport(MainWindow *window, Prompts *prompts, QObject *parent)
    : QObject(parent), m_window(window), m_prompts(prompts)
{
}

void EscapeReport::report(const QString &reason)
{
    if (const QString kept = m_window->keepUnsavedChanges(); !kept.isEmpty())
        m_keptAt = kept;
    if (m_due)
        return;
    m_due = true;
    m_reason = reason;
    // Not from inside the event that failed: its receiver may be half-way through a change.
    QTimer::singleShot(0, this, &EscapeReport::say);
}

void EscapeReport::say()
{
    const QString keptAt = std::exchange(m_keptAt, QString());
    QString text = QStringLiteral("Vnitřní chyba programu: %1.\n"
                                  "Program pracuje dál; doporučujeme uložit práci a program spustit znovu.")
                       .arg(m_reason);
    if (!keptAt.isEmpty())
        text += QStringLiteral("\nNeuložené změny byly pro jistotu uloženy do souboru\n%1").arg(QDir::toNativeSeparators(keptAt));
    m_prompts->error(QStringLiteral("Chyba programu"), text);
    // The technician now knows where the set is: the next start need not say that the system
    // stopped the tool. A set kept while the box was open keeps its note.
    if (!keptAt.isEmpty() && m_keptAt.isEmpty())
        BackupStore(BackupStore::folderIn(m_window->setup()->dataFolder())).takeUnsavedNote();
    m_due = false;
}
