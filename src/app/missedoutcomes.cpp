#include "missedoutcomes.h"
#include <QStringList>
#include <QTabWidget>
#include <algorithm>
#include <utility>

MissedOutcomes::MissedOutcomes(QTabWidget *pages, std::function<void(const QString &)> say, QObject *parent)
    : QObject(parent), m_pages(pages), m_say(std::move(say))
{
    connect(pages, &QTabWidget::currentChanged, this, &MissedOutcomes::pageShown);
}

void MissedOutcomes::given(const QList<QWidget *> &pages, const QString &text, std::function<void(const QString &)> showAgain)
{
    // A newer outcome of the same pages replaces the one before: the labels show only the last.
    m_unseen.erase(std::remove_if(m_unseen.begin(), m_unseen.end(), [&](const Unseen &u) { return u.pages == pages; }),
                   m_unseen.end());
    if (!pages.contains(m_pages->currentWidget()))
        m_unseen.append({pages, text, std::move(showAgain)});
    sayUnseen();
}

void MissedOutcomes::pageShown()
{
    QWidget *shown = m_pages->currentWidget();
    const auto seen = std::find_if(m_unseen.begin(), m_unseen.end(), [shown](const Unseen &u) { return u.pages.contains(shown); });
    if (seen == m_unseen.end())
        return;
    const Unseen outcome = *seen;
    m_unseen.erase(seen);
    sayUnseen();
    outcome.showAgain(outcome.text);
}

void MissedOutcomes::sayUnseen()
{
    QStringList texts;
    for (const Unseen &u : std::as_const(m_unseen))
        texts << m_pages->tabText(m_pages->indexOf(u.pages.first())) + QStringLiteral(": ") + u.text;
    m_say(texts.join(QStringLiteral("   ")));
}
