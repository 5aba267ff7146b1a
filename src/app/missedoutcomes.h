#pragma once
#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class QTabWidget;
class QWidget;

// The outcome of an exchange ("Nesprávné uložení!") shows on a page's message label for a few
// seconds; one that comes while the technician looks at another page would go unseen. It is kept
// and said on the bottom line of the window until one of its pages is shown, and that page then
// shows it again for its full time.
class MissedOutcomes : public QObject
{
    Q_OBJECT
public:
    // `say` puts the text of every outcome still unseen on the bottom line (empty: none).
    MissedOutcomes(QTabWidget *pages, std::function<void(const QString &)> say, QObject *parent = nullptr);

    // `text` was given on the message labels of `pages`; `showAgain` gives it there once more.
    void given(const QList<QWidget *> &pages, const QString &text, std::function<void(const QString &)> showAgain);

private:
    struct Unseen
    {
        QList<QWidget *> pages;
        QString text;
        std::function<void(const QString &)> showAgain;
    };

    void pageShown();
    void sayUnseen();

    QTabWidget *m_pages;
    std::function<void(const QString &)> m_say;
    QList<Unseen> m_unseen;  // one per set of pages, the latest outcome
};
