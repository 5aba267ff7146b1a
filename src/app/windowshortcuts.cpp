#include "windowshortcuts.h"
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace {

// Watches the application: a field asks whether it wants a key (ShortcutOverride) before the
// window's shortcuts are tried, and the question goes to the focused field, wherever it sits.
class ShortcutsFirst : public QObject
{
public:
    explicit ShortcutsFirst(QWidget *window) : QObject(window), m_window(window) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ShortcutOverride || !m_window)
            return false;
        auto *widget = qobject_cast<QWidget *>(watched);
        if (!widget || widget->window() != m_window)
            return false;
        const QKeySequence pressed(static_cast<QKeyEvent *>(event)->keyCombination());
        const QList<QAction *> actions = m_window->actions();
        for (const QAction *action : actions) {
            if (action->isEnabled() && action->shortcuts().contains(pressed)) {
                // Not wanted by the field: the shortcut map takes the key.
                event->ignore();
                return true;
            }
        }
        return false;
    }

private:
    QPointer<QWidget> m_window;
};

}  // namespace

void giveWindowShortcutsPrecedence(QWidget *window)
{
    qApp->installEventFilter(new ShortcutsFirst(window));
}
