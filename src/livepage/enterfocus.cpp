#include "enterfocus.h"
#include <QEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace {
class EnterMovesFocus : public QObject
{
public:
    EnterMovesFocus(QWidget *from, QWidget *to) : QObject(from), m_to(to) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        if (m_to)
            m_to->setFocus(Qt::OtherFocusReason);
        return true;
    }

private:
    QPointer<QWidget> m_to;
};
}

void moveFocusOnEnter(QWidget *from, QWidget *to)
{
    from->installEventFilter(new EnterMovesFocus(from, to));
}
